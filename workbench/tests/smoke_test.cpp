// Starts the real program on a TIFF file and checks that its main window
// shows the image: Fralo saves a picture of its window (FRALO_SNAPSHOT) and exits.
#include <sys/wait.h>

#include <cstdlib>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <verodyn/operators.h>

namespace {

bool HasProgram(const char* name)
{
    return std::system((std::string("command -v ") + name + " > /dev/null 2>&1").c_str()) == 0;
}

TEST(FraloSmoke, ShowsTheImageGivenOnTheCommandLine)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const int w = 200, h = 150;
    std::vector<uint8_t> r(w * h, 10), g(w * h, 200), b(w * h, 60);
    Vobject image;
    ASSERT_EQ(gen_image3(&image, "byte", w, h, r.data(), g.data(), b.data()), V_OK);
    QString tiff = dir.filePath("smoke.tif"), png = dir.filePath("window.png");
    ASSERT_EQ(write_image(image, "tiff", 0, tiff.toLocal8Bit().constData()), V_OK);

    QString run = HasProgram("xvfb-run")
                      ? "env -u QT_QPA_PLATFORM xvfb-run -a -s '-screen 0 1280x1024x24' "
                      : "QT_QPA_PLATFORM=offscreen ";
    // The X session's D-Bus library keeps a buffer to the end: not a leak of ours.
    QFile suppressions(dir.filePath("lsan.supp"));
    ASSERT_TRUE(suppressions.open(QIODevice::WriteOnly));
    suppressions.write("leak:libdbus-1.so\n");
    suppressions.close();
    QString command = QString("cd '%1' && XDG_CONFIG_HOME='%1' LSAN_OPTIONS=suppressions=lsan.supp "
                              "FRALO_SNAPSHOT='%2' %3'%4' '%5' > fralo.log 2>&1")
                          .arg(dir.path(), png, run, FRALO_PROGRAM, tiff);
    ASSERT_EQ(std::system(command.toLocal8Bit().constData()), 0);

    QImage shot(png);
    ASSERT_FALSE(shot.isNull());
    int matching = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            matching += shot.pixel(x, y) == qRgb(10, 200, 60);
    EXPECT_GE(matching, w * h * 9 / 10);
    EXPECT_TRUE(QFile::exists(dir.filePath("config.dat")));
}

TEST(FraloSmoke, ASnapshotStartThatCannotOpenItsImageEnds)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // Its message goes to the log instead of waiting in a box; the start fails.
    QString command = QString("cd '%1' && XDG_CONFIG_HOME='%1' QT_QPA_PLATFORM=offscreen "
                              "FRALO_SNAPSHOT='%1/window.png' timeout 60 '%2' missing.tif "
                              "> fralo.log 2>&1")
                          .arg(dir.path(), FRALO_PROGRAM);
    int status = std::system(command.toLocal8Bit().constData());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    QFile log(dir.filePath("fralo.log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().contains("Erreur d'ouverture fichier: missing.tif"));
}

} // namespace
