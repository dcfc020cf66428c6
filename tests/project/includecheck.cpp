#include "includecheck.h"

#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <functional>

namespace {

bool under(const QString& path, const QString& folder)
{
    return path.startsWith(folder + QLatin1Char('/'));
}

// The longest folder of the rules that holds the path; "" for none.
QString folderOf(const QString& path, const IncludeRules& rules)
{
    QStringList all = rules.unrestricted + rules.acyclic;
    for (const QStringList& layer : rules.layers)
        all += layer;
    for (const auto& r : rules.restricted)
        all << r.first;
    QString best;
    for (const QString& f : all)
        if (under(path, f) && f.size() > best.size())
            best = f;
    return best;
}

int layerOf(const QString& folder, const IncludeRules& rules)
{
    for (size_t i = 0; i < rules.layers.size(); ++i)
        if (rules.layers[i].contains(folder))
            return static_cast<int>(i);
    return -1;
}

bool mayInclude(const QString& from, const QString& to, const IncludeRules& rules)
{
    if (to.isEmpty() || from == to || rules.unrestricted.contains(from))
        return true;
    for (const auto& r : rules.restricted)
        if (r.first == from)
            return std::any_of(r.second.begin(), r.second.end(), [&](const QString& f) { return f == to; });
    const int a = layerOf(from, rules);
    const int b = layerOf(to, rules);
    return a < 0 || (b >= 0 && b < a);
}

QString moduleOf(const QString& path)
{
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return dot > path.lastIndexOf(QLatin1Char('/')) ? path.left(dot) : path;
}

// The cycles among the nodes, each once, by strongly connected components.
std::vector<QStringList> cyclesOf(const QHash<QString, QSet<QString>>& edges)
{
    QStringList nodes = edges.keys();
    std::sort(nodes.begin(), nodes.end());
    QHash<QString, int> index, low;
    QSet<QString> onStack;
    QStringList stack;
    std::vector<QStringList> cycles;
    int counter = 0;
    std::function<void(const QString&)> visit = [&](const QString& v) {
        index[v] = low[v] = counter++;
        stack << v;
        onStack.insert(v);
        QStringList next = edges.value(v).values();
        std::sort(next.begin(), next.end());
        for (const QString& w : next) {
            if (!index.contains(w)) {
                visit(w);
                low[v] = std::min(low[v], low[w]);
            } else if (onStack.contains(w)) {
                low[v] = std::min(low[v], index[w]);
            }
        }
        if (low[v] != index[v])
            return;
        QStringList component;
        QString w;
        do {
            w = stack.takeLast();
            onStack.remove(w);
            component << w;
        } while (w != v);
        if (component.size() > 1) {
            std::sort(component.begin(), component.end());
            cycles.push_back(component);
        }
    };
    for (const QString& v : nodes)
        if (!index.contains(v))
            visit(v);
    return cycles;
}

} // namespace

QStringList CheckIncludes(const QString& root, const IncludeRules& rules)
{
    static const QRegularExpression include(QStringLiteral(R"re(^\s*#\s*include\s+"([^"]+)")re"),
                                            QRegularExpression::MultilineOption);
    QStringList findings;
    QHash<QString, QSet<QString>> edges;
    QStringList files;
    QDirIterator it(root, {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next().mid(root.size() + 1);
    std::sort(files.begin(), files.end());
    for (const QString& file : files) {
        const QString from = folderOf(file, rules);
        if (from.isEmpty())
            continue;
        QFile f(root + QLatin1Char('/') + file);
        if (!f.open(QIODevice::ReadOnly)) {
            findings << QStringLiteral("unreadable: ") + file;
            continue;
        }
        const QString text = QString::fromUtf8(f.readAll());
        auto m = include.globalMatch(text);
        while (m.hasNext()) {
            const QString header = m.next().captured(1);
            const QString to = folderOf(header, rules);
            if (!mayInclude(from, to, rules))
                findings << QStringLiteral("up: %1 includes %2").arg(file, header);
            if (!to.isEmpty() && to == from && rules.acyclic.contains(from) && moduleOf(header) != moduleOf(file))
                edges[moduleOf(file)].insert(moduleOf(header));
        }
    }
    for (const QStringList& cycle : cyclesOf(edges))
        findings << QStringLiteral("cycle: ") + cycle.join(QStringLiteral(", "));
    return findings;
}

IncludeRules ProjectIncludeRules()
{
    IncludeRules r;
    const auto one = [](const char* f) { return QStringList{QString::fromLatin1(f)}; };
    r.layers = {one("platform/base"),
                one("platform/win"),
                {QStringLiteral("platform/net"), QStringLiteral("platform/web"), QStringLiteral("platform/media")},
                // The drawing code of the skins and of the program's own pictures.
                one("skinlib/art"),
                one("core"),
                one("skinlib"),
                one("contracts"),
                one("mainwindow"),
                one("browsing"),
                one("menus"),
                one("lists"),
                one("media"),
                one("downloads"),
                one("dialogs")};
    const QStringList foundation{QStringLiteral("platform/base"), QStringLiteral("platform/win"),
                                 QStringLiteral("platform/net"),  QStringLiteral("platform/web"),
                                 QStringLiteral("platform/media"), QStringLiteral("skinlib/art"),
                                 QStringLiteral("core")};
    r.restricted = {{QStringLiteral("dlmanager"), foundation}, {QStringLiteral("skinremoval"), foundation}};
    r.unrestricted = {QStringLiteral("app"), QStringLiteral("tools"), QStringLiteral("tests"), QStringLiteral("bench"),
                      QStringLiteral("fuzz")};
    r.acyclic = {QStringLiteral("core")};
    return r;
}
