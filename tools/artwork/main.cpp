// Writes the program's pictures and icons into the resources folder (or the
// folder given as the only argument).
#include "Artwork.h"

#include <QDir>
#include <QGuiApplication>

#include <array>
#include <cstdio>

namespace {

bool Save(const QImage& image, const QString& path, const char* format, int quality)
{
    if (!image.save(path, format, quality)) {
        std::fprintf(stderr, "artwork: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s (%d x %d)\n", qPrintable(path), image.width(), image.height());
    return true;
}

// The sizes the desktop's icon theme looks for, each drawn for itself.
constexpr std::array<int, 8> kThemeSizes = {16, 22, 24, 32, 48, 64, 128, 256};
constexpr char kApplicationId[] = "example.brightmoor.Quillory";

} // namespace

int main(int argc, char** argv)
{
    // Painting text needs a GUI application but no screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QDir root(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(QUILLORY_RESOURCES_DIR));
    if (!root.mkpath("pictures") || !root.mkpath("icons")) {
        std::fprintf(stderr, "artwork: cannot create folders under %s\n", qPrintable(root.path()));
        return 1;
    }

    bool ok = true;
    // Each picture for screens of scale 1, and drawn again for scale 2 (not a
    // stretched copy): "@2x" beside a JPEG's name, twice the size in an icon's.
    ok &= Save(artwork::PaintBanner(1), root.filePath("pictures/banner.jpg"), "JPG", 92);
    ok &= Save(artwork::PaintBanner(2), root.filePath("pictures/banner@2x.jpg"), "JPG", 92);
    ok &= Save(artwork::PaintAboutPicture(1), root.filePath("pictures/about.jpg"), "JPG", 92);
    ok &= Save(artwork::PaintAboutPicture(2), root.filePath("pictures/about@2x.jpg"), "JPG", 92);
    ok &= Save(artwork::PaintWindowIcon(1), root.filePath("icons/window16.png"), "PNG", -1);
    ok &= Save(artwork::PaintWindowIcon(2), root.filePath("icons/window32.png"), "PNG", -1);
    ok &= Save(artwork::PaintTrayIcon(1), root.filePath("icons/tray32.png"), "PNG", -1);
    ok &= Save(artwork::PaintTrayIcon(2), root.filePath("icons/tray64.png"), "PNG", -1);
    for (const int size : kThemeSizes) {
        const QString folder = QStringLiteral("icons/hicolor/%1x%1/apps").arg(size);
        if (!root.mkpath(folder)) {
            std::fprintf(stderr, "artwork: cannot create %s\n", qPrintable(root.filePath(folder)));
            return 1;
        }
        ok &= Save(artwork::PaintApplicationIcon(size),
                   root.filePath(folder + QLatin1Char('/') + kApplicationId + QStringLiteral(".png")), "PNG", -1);
    }
    return ok ? 0 : 1;
}
