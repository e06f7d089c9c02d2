// The skin renderer as a developer runs it.
#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdlib>

namespace {

struct Outcome {
    int code;
    QString err;
};

Outcome Shot(const QStringList& args) {
    QProcess p;
    p.start(SKINSHOT_EXE, args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardError())};
}

QString Source(const char* rel) {
    return QString::fromUtf8(std::getenv("BROMMELIVANTOS_SOURCE_DIR")) + "/" + rel;
}

}  // namespace

TEST(Skinshot, RendersTheDemoSkinAtTheAskedDpi) {
    QTemporaryDir dir;
    QString out = dir.filePath("demo.png");
    Outcome r = Shot({Source("skin/demo/demo.xml"), out, "--dpi", "144"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    QImage img(out);
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.size(), QSize(1500, 960));
    // The window surface is the dark background, not an empty picture.
    EXPECT_EQ(img.pixelColor(img.width() / 2, img.height() - 3), QColor(0x15, 0x18, 0x1D));
    Outcome sized = Shot({Source("skin/demo/demo.xml"), out, "--size", "640x480"});
    ASSERT_EQ(sized.code, 0);
    EXPECT_EQ(QImage(out).size(), QSize(640, 480));
}

TEST(Skinshot, BadArgumentsAndBrokenSkinsFailClearly) {
    QTemporaryDir dir;
    QString bad = dir.filePath("bad.xml");
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<Window size=\"100,100\"><VerticalLayout><Unknown/></VerticalLayout></Window>");
    f.close();
    struct Case {
        QStringList args;
        int code;
    } cases[] = {
        {{}, 1},
        {{Source("skin/demo/demo.xml"), dir.filePath("x.png"), "--dpi", "100"}, 1},
        {{Source("skin/demo/demo.xml"), dir.filePath("x.png"), "--size", "0x5"}, 1},
        {{dir.filePath("missing.xml"), dir.filePath("x.png")}, 2},
        {{bad, dir.filePath("x.png")}, 2},
        {{Source("skin/demo/demo.xml"), dir.filePath("no/such/folder/x.png")}, 3},
    };
    for (const Case& c : cases) {
        Outcome r = Shot(c.args);
        EXPECT_EQ(r.code, c.code) << c.args.join(' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty());
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("x.png")));
}
