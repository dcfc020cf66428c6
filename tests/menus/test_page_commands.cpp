// The page commands on the real engine against a loopback page.

#include "menus/pagecommands.h"
#include "platform/web/browser.h"
#include "platform/win/form.h"
#include "platform/win/prompt.h"

#include "httpserver.h"
#include "testenv.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QWebEnginePage>

#include <gtest/gtest.h>

using platform::browser::Browser;

namespace {

const bool schemeRegistered = (platform::browser::prepareBeforeApplication(), true);

class PageCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(schemeRegistered);
        server.serve("/page.html", "<html><head><title>Props &amp; Page</title></head><body>"
                                   "<p id=p>alpha bravo charlie</p><input id=f value=''></body></html>");
        form.setWidth(9000);
        form.setHeight(6000);
        browser = std::make_unique<Browser>(form, QStringLiteral("WB"));
        browser->place(0, 0, 9000, 6000);
        form.show();
        const QString url = server.address("/page.html");
        browser->navigate2(url);
        ASSERT_TRUE(testenv::waitFor(
            [&] { return browser->readyState() == platform::browser::ReadyComplete && browser->locationURL() == url; },
            30000));
    }
    void TearDown() override { platform::prompt::setResponder({}); }

    QString js(const QString& script)
    {
        QString result;
        bool done = false;
        browser->page()->runJavaScript(script, [&](const QVariant& v) {
            result = v.toString();
            done = true;
        });
        testenv::waitFor([&] { return done; }, 10000);
        return result;
    }

    testenv::HttpServer server;
    platform::forms::Form form;
    std::unique_ptr<Browser> browser;
};

} // namespace

TEST_F(PageCommands, SelectAllCopyAndPaste)
{
    QApplication::clipboard()->clear();
    pagecommands::Run(browser.get(), PageCommand::SelectAll);
    pagecommands::Run(browser.get(), PageCommand::Copy);
    EXPECT_TRUE(testenv::waitFor([] { return QApplication::clipboard()->text().contains("bravo"); }, 10000));

    QApplication::clipboard()->setText(QStringLiteral("pasted-word"));
    js("document.getElementById('f').focus(); 1");
    pagecommands::Run(browser.get(), PageCommand::Paste);
    EXPECT_TRUE(testenv::waitFor([&] { return js("document.getElementById('f').value") == "pasted-word"; }, 10000));
}

TEST_F(PageCommands, TextSizesAreZoomStepsReadBack)
{
    for (int size : {0, 1, 2, 3, 4}) {
        pagecommands::SetTextSize(browser.get(), size);
        EXPECT_EQ(pagecommands::TextSize(browser.get()), size);
    }
    EXPECT_LT(pagecommands::ZoomFactorForSize(0), pagecommands::ZoomFactorForSize(4));
    EXPECT_EQ(pagecommands::TextSize(nullptr), 2);
}

TEST_F(PageCommands, PrintSaveFindAndProperties)
{
    const QString dir = testenv::freshDir("out");
    const QString pdf = dir + "/page.pdf";
    const QString html = dir + "/page.htm";
    QStringList asked;
    platform::prompt::setResponder([&](const platform::prompt::Prompt& p) -> std::optional<platform::prompt::Answer> {
        asked << p.kind + ":" + p.text;
        if (p.kind == "print")
            return platform::prompt::Answer{true, 0, pdf};
        if (p.kind == "save")
            return platform::prompt::Answer{true, 0, html};
        return platform::prompt::Answer{true, 1, {}};
    });
    pagecommands::Run(browser.get(), PageCommand::Print);
    ASSERT_TRUE(testenv::waitFor([&] { return QFile(pdf).size() > 0; }, 30000));
    EXPECT_TRUE(testenv::readFile(pdf).startsWith("%PDF"));

    pagecommands::Run(browser.get(), PageCommand::SaveAs);
    ASSERT_TRUE(testenv::waitFor([&] { return testenv::readFile(html).contains("alpha bravo charlie"); }, 10000));

    bool answered = false;
    bool found = false;
    pagecommands::Find(browser.get(), "charlie", [&](bool f) {
        answered = true;
        found = f;
    });
    ASSERT_TRUE(testenv::waitFor([&] { return answered; }, 10000));
    EXPECT_TRUE(found);
    answered = false;
    pagecommands::Find(browser.get(), "zulu-not-there", [&](bool f) {
        answered = true;
        found = f;
    });
    ASSERT_TRUE(testenv::waitFor([&] { return answered; }, 10000));
    EXPECT_FALSE(found);
    pagecommands::Run(browser.get(), PageCommand::Properties);
    ASSERT_TRUE(testenv::waitFor([&] { return asked.join("|").contains("message:"); }, 10000));
    const QString shown = asked.filter("message:").value(0);
    EXPECT_TRUE(shown.contains("Props & Page")) << shown.toStdString();
    EXPECT_TRUE(shown.contains(server.address("/page.html"))) << shown.toStdString();
    EXPECT_TRUE(shown.contains("bytes"));
}
