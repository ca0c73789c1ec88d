// The real main window with every subsystem, a blank document and fresh
// settings in a temporary data folder, for driving the wizards offscreen.
#pragma once

#include "mainwindowtest.h"
#include "appglobals.h"
#include "colorswatch.h"
#include "datafolder.h"
#include "documentset.h"
#include "lazypage.h"
#include "mainwindow.h"
#include "messageservice.h"
#include "settingsglobals.h"
#include "setuptools.h"
#include "subsystems.h"
#include "tmemosource.h"
#include "toolkitglobals.h"

#include <QAbstractButton>
#include <QAction>
#include <QTabWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace Quorvant {

class WizardWindowTest : public ::testing::Test
{
protected:
    // Whether the wizards write their tags in lower case.
    explicit WizardWindowTest(bool lowerCaseTags)
        : m_lowerCaseTags(lowerCaseTags)
    {
    }

    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        DataFolder::setPath(m_dir.path());
        resetAppGlobals();
        resetToolkitGlobals();
        resetSettingsGlobals();
        m_window = Quorvant::Test::openMainWindow(&m_settings, QSize(900, 600));
        m_window->documents()->blankDocument();
        m_window->InsertInLowerCase(m_lowerCaseTags);
    }
    void TearDown() override
    {
        TColorSwatch::setChooserForTests({});
        Quorvant::Test::closeMainWindow(m_window, &m_settings);
    }

    ITextBuffer *buffer() const { return m_window->documents()->currentBuffer(); }

    // A menu item; the menus of the tag bars, hidden at start, are made
    // with their pages, which are built first.
    QAction *menuAction(const char *name) const
    {
        if (QAction *a = m_window->action(QLatin1String(name)))
            return a;
        for (const char *page : {"PureTagRow1", "PureTagRow2"})
            ensureBuilt(m_window->findChild<QWidget *>(QLatin1String(page)));
        return m_window->action(QLatin1String(name));
    }

    // A button of the bars; one on a page of the big button bar is found
    // as the user finds it, by showing the pages in turn.
    QAbstractButton *barButton(const char *name) const
    {
        const QString objectName = QLatin1String(name);
        auto *pages = m_window->findChild<QTabWidget *>(QStringLiteral("LargeButtonPages"));
        for (int i = 0; pages && i < pages->count(); ++i) {
            if (auto *b = m_window->findChild<QAbstractButton *>(objectName))
                return b;
            pages->setCurrentIndex(i);
        }
        return m_window->findChild<QAbstractButton *>(objectName);
    }

    QTemporaryDir m_dir;
    std::unique_ptr<TSetupTools> m_settings;
    std::unique_ptr<TForm1> m_window;

private:
    bool m_lowerCaseTags;
};

} // namespace Quorvant
