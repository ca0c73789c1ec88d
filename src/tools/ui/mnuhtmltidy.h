// The HTML Tidy settings dialog: an introduction with the run button, and
// two pages of settings, each change written to "Tidy.Cfg" at once.
#pragma once

#include "debugout.h"
#include "tidyconfig.h"
#include "tidyfolder.h"

#include <QDialog>
#include <QMap>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QGridLayout;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace Quorvant {

class TMnuHTMLTidy : public QDialog
{
    Q_OBJECT
public:
    TMnuHTMLTidy(const TTidyFolder &folder, DebugOut debug, QWidget *parent = nullptr);

    // The controls' values, and setting them (without writing the file).
    TTidyConfig config() const;
    void setConfig(const TTidyConfig &config);

    // Writes the controls' values to "Tidy.Cfg"; false when it failed.
    [[nodiscard]] bool WriteConfigFile(QString *error = nullptr);
    // Sets the controls from "Tidy.Cfg" and writes it back in full.
    void LoadTidySettings();
    // "Reset To Defaults...".
    void ResetToDefaults();

    QPushButton *runButton() const { return m_run; }
    QTabWidget *pages() const { return m_pages; }

Q_SIGNALS:
    // The run button: the caller runs the tool and closes the dialog.
    void runRequested();

private:
    QWidget *buildQuickStart();
    QWidget *buildSettings();
    QWidget *buildAdvanced();
    QCheckBox *addCheck(QGridLayout *grid, const char *caption, const char *explanation);
    QSpinBox *addNumber(QGridLayout *grid, const char *caption, const char *explanation);
    QButtonGroup *addChoice(QGridLayout *grid, const char *caption, const QStringList &buttons,
                            const char *explanation, const char *namePrefix);
    void addExplanation(QGridLayout *grid, int row, const char *explanation);
    void controlChanged();

    TTidyFolder m_folder;
    DebugOut m_debug;
    QTabWidget *m_pages = nullptr;
    QPushButton *m_run = nullptr;
    QMap<QString, QCheckBox *> m_checks;
    QSpinBox *m_tabSize = nullptr;
    QSpinBox *m_wrap = nullptr;
    QButtonGroup *m_doctype = nullptr;
    QButtonGroup *m_encoding = nullptr;
    bool m_loading = false;
};

} // namespace Quorvant
