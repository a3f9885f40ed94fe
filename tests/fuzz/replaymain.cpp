// Runs a fuzz target over every file of each folder named, in name order, without the fuzzer. A
// broken invariant aborts; a missing or empty folder fails.

#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int *argc, char ***argv);

int main(int argc, char *argv[])
{
    if (LLVMFuzzerInitialize != nullptr)
        LLVMFuzzerInitialize(&argc, &argv);
    for (int i = 1; i < argc; ++i) {
        const QDir folder(QString::fromLocal8Bit(argv[i]));
        const QStringList names = folder.entryList(QDir::Files, QDir::Name);
        for (const QString &name : names) {
            QFile file(folder.filePath(name));
            if (!file.open(QIODevice::ReadOnly))
                return std::fprintf(stderr, "%s: cannot read\n", qPrintable(file.fileName())), 1;
            const QByteArray bytes = file.readAll();
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.constData()),
                                   size_t(bytes.size()));
        }
        if (names.isEmpty())
            return std::fprintf(stderr, "%s: no inputs\n", argv[i]), 1;
        std::printf("%s: %lld inputs replayed\n", argv[i], static_cast<long long>(names.size()));
    }
    return argc < 2 ? std::fprintf(stderr, "usage: %s CORPUS_FOLDER...\n", argv[0]), 2 : 0;
}
