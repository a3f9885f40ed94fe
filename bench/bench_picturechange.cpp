// The figures the change threshold was chosen from: how far the thumbnails of consecutive frames
// of a generated camera differ, for a still scene with noise and for a moving object, at the slot
// sizes pictures are decoded to. Prints, per case, the smallest, median and largest value over the
// frame pairs of three measures: the one the slots use (largest cell difference with the mean
// difference taken off), the raw largest cell difference, and the mean cell difference.

#include "slots/picturechange.h"
#include "support/noisyscene.h"

#include <QGuiApplication>
#include <QTextStream>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kFrames = 50;

struct Measures
{
    int used = 0;
    int rawLargest = 0;
    double mean = 0;
};

Measures measure(const QImage &a, const QImage &b)
{
    Measures m;
    m.used = PictureChange::difference(a, b);
    int sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const int d = std::abs(int(b.constScanLine(y)[x]) - int(a.constScanLine(y)[x]));
            m.rawLargest = std::max(m.rawLargest, d);
            sum += d;
        }
    }
    m.mean = double(sum) / (a.width() * a.height());
    return m;
}

template<typename T>
QString spread(std::vector<T> values)
{
    std::sort(values.begin(), values.end());
    return QStringLiteral("%1/%2/%3")
        .arg(double(values.front()), 0, 'f', 1)
        .arg(double(values[values.size() / 2]), 0, 'f', 1)
        .arg(double(values.back()), 0, 'f', 1);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen"); // draws pictures only, never a window
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    out << "frame      slot     noise  object  | used min/median/max | raw largest | mean\n";
    for (const QSize frameSize : {QSize(640, 480), QSize(1920, 1080)}) {
        for (const QSize slotSize : {QSize(85, 64), QSize(170, 128), QSize(640, 480)}) {
            for (const double sigma : {6.0, 12.0}) {
                for (const int objectShare :
                     {0, 40, 20, 10}) { // the object's diameter: 1/share of the height
                    NoisyScene::Options options;
                    options.size = frameSize;
                    options.noiseSigma = sigma;
                    options.objectDiameter = objectShare == 0 ? 0 : frameSize.height() / objectShare;
                    const NoisyScene scene(options);
                    std::vector<int> used;
                    std::vector<int> raw;
                    std::vector<double> mean;
                    QImage previous = PictureChange::thumbnail(decodeFrame(scene.frame(0), slotSize));
                    for (int n = 1; n < kFrames; ++n) {
                        const QImage next = PictureChange::thumbnail(decodeFrame(scene.frame(n), slotSize));
                        const Measures m = measure(previous, next);
                        used.push_back(m.used);
                        raw.push_back(m.rawLargest);
                        mean.push_back(m.mean);
                        previous = next;
                    }
                    out << QStringLiteral("%1x%2 %3x%4 %5 %6 | %7 | %8 | %9\n")
                               .arg(frameSize.width(), 4)
                               .arg(frameSize.height(), -4)
                               .arg(slotSize.width(), 3)
                               .arg(slotSize.height(), -3)
                               .arg(sigma, 5)
                               .arg(objectShare == 0 ? QStringLiteral("none")
                                                     : QStringLiteral("1/%1").arg(objectShare),
                                    6)
                               .arg(spread(used), 19)
                               .arg(spread(raw), 11)
                               .arg(spread(mean));
                    out.flush();
                }
            }
        }
    }
    return 0;
}
