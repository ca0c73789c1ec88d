// The editor component's global environment options (font, tabs, colours),
// kept in an INI file of their own, and the dialog that edits them.
#pragma once

#include <QColor>
#include <QDialog>
#include <QFont>
#include <QString>

class QFontComboBox;
class QPushButton;
class QSpinBox;

namespace Quorvant {

// Name of the options file; the caller resolves it in the data folder.
inline constexpr char EditorIniFileName[] = "Editor.INI";

struct EditorEnvironment
{
    QString fontFamily = QStringLiteral("Courier New");
    int fontPixelSize = 13;
    int tabWidth = 8;
    int blockIndent = 1;
    QColor text = QColor(0x00, 0x00, 0x00);
    QColor paper = QColor(0xFF, 0xFF, 0xFF);
    QColor selectionText = QColor(0xFF, 0xFF, 0xFF);
    QColor selectionBack = QColor(0x00, 0x00, 0x80);

    // Missing or unusable keys keep their defaults; false only when an
    // existing file cannot be read.
    bool load(const QString &iniPath);
    // false when the file cannot be written.
    [[nodiscard]] bool save(const QString &iniPath) const;
    QFont font() const;
    // A dark background: the syntax colours are lightened to read on it.
    bool darkPaper() const { return paper.lightness() < 128; }
    // Text and background too alike to read.
    static bool tooClose(const QColor &a, const QColor &b);

    friend bool operator==(const EditorEnvironment &, const EditorEnvironment &) = default;
};

class EnvironmentOptionsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit EnvironmentOptionsDialog(QWidget *parent = nullptr);

    EditorEnvironment value() const;
    void setValue(const EditorEnvironment &env);

    // The colour a button stands for (objectNames "textColor", "backColor",
    // "selTextColor", "selBackColor").
    QColor buttonColor(const QPushButton *button) const;

    // Sets the four colours to a dark or a light scheme.
    void applyScheme(bool dark);

    void accept() override;

private:
    QPushButton *addColorButton(const QString &objectName, const QString &title);
    static void setButtonColor(QPushButton *button, const QColor &color);

    QFontComboBox *m_font = nullptr;
    QSpinBox *m_fontSize = nullptr;
    QSpinBox *m_tabWidth = nullptr;
    QSpinBox *m_blockIndent = nullptr;
    QPushButton *m_text = nullptr;
    QPushButton *m_paper = nullptr;
    QPushButton *m_selText = nullptr;
    QPushButton *m_selBack = nullptr;
};

} // namespace Quorvant
