// The status frameset of a running list shown in a browser control: a real
// click on each button of the bottom frame reaches the command gate as a
// navigation of that frame, and never loads.

#include "platform/web/browser.h"
#include "platform/win/form.h"

#include "programfixture.h"

#include <QTest>
#include <QWebEnginePage>

namespace browser = platform::browser;
using namespace dltest;

namespace {

const bool schemeRegistered = (browser::prepareBeforeApplication(), true);

class StatusClicks : public Z5DownLoadProgram {};

} // namespace

TEST_F(StatusClicks, EachButtonOfTheBarReachesTheGateAndIsCancelled)
{
    ASSERT_TRUE(schemeRegistered);
    QDir().mkpath(prog + QStringLiteral("/Common"));
    for (const QString& f : QDir(kStage + QStringLiteral("/Common")).entryList({QStringLiteral("*.bmp")}))
        QFile::copy(kStage + QStringLiteral("/Common/") + f, prog + QStringLiteral("/Common/") + f);
    ASSERT_TRUE(testenv::writeFile(root + QStringLiteral("/slow.bin"), randomBytes(2 * 1024 * 1024, 41)));
    ASSERT_TRUE(nginx.start(root, QStringLiteral("limit_rate 100k;")));
    writeList(QStringLiteral("bar"), {item(QStringLiteral("slow"), nginx.base() + QStringLiteral("/slow.bin"), target)});
    start(QStringLiteral("bar||||||||||0"));
    ASSERT_TRUE(testenv::waitFor([&] { return QFileInfo(target + QStringLiteral("/slow.bin~~~")).size() > 0; }, 10000));

    platform::forms::Form form;
    form.setWidth(9000);
    form.setHeight(6000);
    form.show();
    browser::Browser b(form, QStringLiteral("WBMain"));
    b.place(0, 0, 9000, 6000);
    QList<browser::NavigationRequest> seen;
    b.browserEvents().beforeNavigate2 = [&](browser::NavigationRequest& r) { seen << r; };
    const QString frameset = browser::canonicalUrl(data(QStringLiteral("bar.HTM")));
    b.navigate2(frameset);
    ASSERT_TRUE(testenv::waitFor([&] { return b.readyState() == browser::ReadyComplete; }, 30000));

    // Where the buttons are: the bar frame's place and each button's centre in it.
    QVariantList where;
    bool answered = false;
    const auto locate = [&] {
        answered = false;
        b.page()->runJavaScript(QStringLiteral(
                                    "(function(){var f=document.getElementById('F3');var r=f.getBoundingClientRect();"
                                    "var out=[];var l=f.contentDocument.getElementsByTagName('input');"
                                    "for(var i=0;i<l.length;i++){var c=l[i].getBoundingClientRect();"
                                    "if(c.width>0)out.push([l[i].name,r.left+c.left+c.width/2,r.top+c.top+c.height/2]);}"
                                    "return out;})()"),
                                [&](const QVariant& v) {
                                    where = v.toList();
                                    answered = true;
                                });
        return testenv::waitFor([&] { return answered; }, 10000);
    };
    ASSERT_TRUE(testenv::waitFor([&] { return locate() && where.size() == 3; }, 20000)) << where.size();
    QTest::qWait(300);
    const QString shots = qEnvironmentVariableIsEmpty("Z5_SCREENSHOT_DIR") ? QStringLiteral(Z5_BINARY_DIR "/screenshots")
                                                                          : qEnvironmentVariable("Z5_SCREENSHOT_DIR");
    QDir().mkpath(shots);
    EXPECT_TRUE(form.window()->grab().save(shots + QStringLiteral("/dlmanager-status-running.png")));

    for (const QVariant& button : where) {
        const QVariantList w = button.toList();
        const QString name = w[0].toString();
        SCOPED_TRACE(name.toStdString());
        seen.clear();
        QWidget* input = b.inputWidget();
        QTest::mouseClick(input, Qt::LeftButton, {}, QPoint(qRound(w[1].toDouble()), qRound(w[2].toDouble())));
        ASSERT_TRUE(testenv::waitFor([&] { return !seen.isEmpty(); }, 5000));
        const QString command = QStringLiteral("event:Z5_DLSTAT_") + name.mid(2);
        EXPECT_EQ(seen.last().url, command);
        EXPECT_FALSE(seen.last().topLevel);
        EXPECT_EQ(b.locationURL(), frameset);
    }
    QStringList names;
    for (const QVariant& button : where)
        names << button.toList().value(0).toString();
    EXPECT_EQ(names, (QStringList{"Z5PAUSE", "Z5MODIFY", "Z5CLOSE"}));
    // The frame stays the bar: every command was cancelled.
    answered = false;
    QString bar;
    b.page()->runJavaScript(QStringLiteral("document.getElementById('F3').contentWindow.location.href"),
                            [&](const QVariant& v) {
                                bar = v.toString();
                                answered = true;
                            });
    ASSERT_TRUE(testenv::waitFor([&] { return answered; }, 10000));
    EXPECT_TRUE(bar.endsWith(QStringLiteral("barF3.HTM"))) << bar.toStdString();
}
