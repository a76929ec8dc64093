// A bounded mutation fuzzer for the readers the program did not write
// (JPEG, icon, WMF, EMF), run through the confined helper as the program
// runs them. Each mutated file must give a picture of a sane size or an
// error naming the file, within the helper's time limit: whatever a
// reader does with it (crash, hang, read past its buffer, allocate without
// end), the program goes on. A fixed seed makes every run the same; the
// number of rounds per format can be raised with TESSALY_FUZZ_ROUNDS.

#include "pictures/picture_sandbox.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <random>

namespace {

const QString DataDir = QStringLiteral(TESSALY_SOURCE_DIR "/tests/pictures/data/");

QByteArray FileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray Encoded(const char *format, int side)
{
    QImage picture(side, side, QImage::Format_RGB32);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            picture.setPixel(x, y, qRgb(x * 8, y * 8, (x ^ y) * 4));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, format);
    return bytes;
}

// One of the mutations that find faults in binary readers: random bytes,
// boundary values in a 32-bit field, a cut, a repeated or removed piece.
QByteArray Mutate(QByteArray bytes, std::mt19937 &random)
{
    const auto at = [&](qsizetype size) { return qsizetype(random() % quint32(std::max<qsizetype>(size, 1))); };
    const int steps = 1 + int(random() % 4);
    for (int step = 0; step < steps && !bytes.isEmpty(); ++step) {
        switch (random() % 6) {
        case 0:
            bytes[at(bytes.size())] = char(random());
            break;
        case 1: {
            static const quint32 boundaries[] = {0, 1, 0x7F, 0x80, 0xFF, 0x7FFF, 0x8000, 0xFFFF, 0x7FFFFFFF,
                                                 0x80000000u, 0xFFFFFFFFu};
            const quint32 value = boundaries[random() % std::size(boundaries)];
            const qsizetype offset = at(bytes.size() - 3);
            for (int i = 0; i < 4 && offset + i < bytes.size(); ++i)
                bytes[offset + i] = char(value >> (8 * i));
            break;
        }
        case 2:
            bytes.truncate(at(bytes.size()) + 1);
            break;
        case 3: {
            const qsizetype from = at(bytes.size());
            const qsizetype length = std::min<qsizetype>(bytes.size() - from, 1 + random() % 64);
            const QByteArray piece = bytes.mid(from, length);
            const int copies = 1 + int(random() % 16);
            for (int i = 0; i < copies; ++i)
                bytes.insert(from, piece);
            break;
        }
        case 4:
            bytes.remove(at(bytes.size()), 1 + qsizetype(random() % 16));
            break;
        default:
            bytes[at(bytes.size())] ^= char(1 << (random() % 8));
            break;
        }
    }
    return bytes;
}

int Rounds()
{
    bool ok = false;
    const int rounds = qEnvironmentVariableIntValue("TESSALY_FUZZ_ROUNDS", &ok);
    return ok && rounds > 0 ? rounds : 60;
}

struct TSeed {
    const char *Name;
    TPictureType Type;
    QByteArray Bytes;
};

class ConfinedReaderFuzz : public ::testing::TestWithParam<int> {};

TEST_P(ConfinedReaderFuzz, EveryMutationIsAPictureOrAMessageWithinTheLimit)
{
    const TSeed seeds[] = {
        {"fuzz.jpg", TPictureType::Jpeg, Encoded("JPG", 48)},
        {"fuzz.ico", TPictureType::Icon, Encoded("ICO", 32)},
        {"fuzz.wmf", TPictureType::Wmf, FileBytes(DataDir + QStringLiteral("shapes.wmf"))},
        {"fuzz.emf", TPictureType::Emf, FileBytes(DataDir + QStringLiteral("shapes.emf"))},
    };
    const TSeed &seed = seeds[GetParam()];
    ASSERT_FALSE(seed.Bytes.isEmpty());
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(seed.Name));
    std::mt19937 random(20261210u + unsigned(GetParam()));
    const qint64 limit = (DefaultReaderLimits().WallSeconds + 2) * 1000;
    for (int round = 0; round < Rounds(); ++round) {
        const QByteArray bytes = Mutate(seed.Bytes, random);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        QElapsedTimer clock;
        clock.start();
        try {
            const QImage picture = ReadPictureConfined(path, seed.Type);
            EXPECT_FALSE(picture.isNull());
            EXPECT_LE(qint64(picture.width()) * picture.height(), DefaultReaderLimits().MaxPixels);
        } catch (const EPictureError &error) {
            EXPECT_TRUE(QString::fromStdString(error.what()).contains(path)) << error.what();
        }
        EXPECT_LT(clock.elapsed(), limit) << "round " << round;
        if (::testing::Test::HasFailure()) {
            // Kept for a look: the input that failed.
            const QString kept = QStringLiteral(TESSALY_OUTPUT_DIR "/../failing-") + QString::fromLatin1(seed.Name);
            QFile::remove(kept);
            QFile::copy(path, kept);
            FAIL() << "round " << round << " failed; input kept as " << kept.toStdString();
        }
    }
}

std::string ReaderName(const ::testing::TestParamInfo<int> &info)
{
    static const char *const names[] = {"Jpeg", "Icon", "Wmf", "Emf"};
    return names[info.param];
}

INSTANTIATE_TEST_SUITE_P(Readers, ConfinedReaderFuzz, ::testing::Values(0, 1, 2, 3), ReaderName);

} // namespace
