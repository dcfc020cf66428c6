// The include rules: the checker on a small tree of known faults, then the
// source tree itself.

#include "includecheck.h"

#include "testenv.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

IncludeRules smallRules()
{
    IncludeRules r;
    r.layers = {{"low"}, {"mid/a", "mid/b"}, {"high"}};
    r.restricted = {{"tool", {"low"}}};
    r.unrestricted = {"app"};
    r.acyclic = {"mid/a"};
    return r;
}

} // namespace

TEST(IncludeCheck, FindsUpwardIncludesAndCyclesInASmallTree)
{
    const QString root = testenv::freshDir("tree");
    const struct {
        const char* file;
        const char* text;
    } files[] = {
        {"low/base.h", "#include <vector>\n"},
        {"low/up.cpp", "#include \"high/top.h\"\n"},                     // a lower layer reaches up
        {"mid/a/one.h", "#include \"low/base.h\"\n#include \"mid/a/two.h\"\n"},
        {"mid/a/one.cpp", "#include \"mid/a/one.h\"\n"},                 // its own header: no cycle
        {"mid/a/two.cpp", "  #  include \"mid/a/one.h\"\n"},            // one <-> two
        {"mid/a/three.cpp", "#include \"mid/b/side.h\"\n"},             // a neighbour of the same layer
        {"mid/b/side.h", "#include \"mid/b/back.h\"\n"},
        {"mid/b/back.h", "#include \"mid/b/side.h\"\n"},                 // a cycle where cycles are allowed
        {"high/top.h", "#include \"mid/a/one.h\"\n#include \"low/base.h\"\n"},
        {"tool/main.cpp", "#include \"low/base.h\"\n#include \"mid/b/side.h\"\n"}, // beyond its list
        {"app/main.cpp", "#include \"high/top.h\"\n#include \"tool/x.h\"\n"},
        {"other/free.cpp", "#include \"high/top.h\"\n"},                 // no rule: not looked at
    };
    for (const auto& f : files) {
        const QString path = root + "/" + f.file;
        QDir().mkpath(QFileInfo(path).path());
        ASSERT_TRUE(testenv::writeFile(path, f.text)) << f.file;
    }
    const QStringList findings = CheckIncludes(root, smallRules());
    EXPECT_EQ(findings, (QStringList{"up: low/up.cpp includes high/top.h",
                                     "up: mid/a/three.cpp includes mid/b/side.h",
                                     "up: tool/main.cpp includes mid/b/side.h",
                                     "cycle: mid/a/one, mid/a/two"}));
}

TEST(IncludeCheck, TheSourceTreeKeepsItsLayersAndItsAcyclicFolders)
{
    const QStringList findings = CheckIncludes(QStringLiteral(Z5_SOURCE_DIR), ProjectIncludeRules());
    for (const QString& f : findings)
        std::printf("%s\n", qPrintable(f));
    EXPECT_TRUE(findings.isEmpty());
}
