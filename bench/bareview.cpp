// The yardstick of bench_browse: a bare web view program with tabs. It
// loads the address it is given; a page's new window opens as a tab.

#include <QApplication>
#include <QTabWidget>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

namespace {

class TabPage : public QWebEnginePage {
public:
    TabPage(QWebEngineProfile* profile, QTabWidget* tabs) : QWebEnginePage(profile, tabs), tabs_(tabs) {}

protected:
    QWebEnginePage* createWindow(WebWindowType) override
    {
        auto* view = new QWebEngineView(tabs_);
        auto* page = new TabPage(profile(), tabs_);
        view->setPage(page);
        tabs_->addTab(view, QStringLiteral("tab"));
        return page;
    }

private:
    QTabWidget* tabs_;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    auto* profile = new QWebEngineProfile(QStringLiteral("bare"), &app);
    QTabWidget tabs;
    tabs.resize(613, 445);
    auto* view = new QWebEngineView(&tabs);
    auto* page = new TabPage(profile, &tabs);
    view->setPage(page);
    tabs.addTab(view, QStringLiteral("tab"));
    tabs.show();
    page->load(QUrl(QString::fromLocal8Bit(argv[1])));
    return QApplication::exec();
}
