// SPDX-License-Identifier: GPL-3.0-or-later
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <QDateTime>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "database/foodtable.h"
#include "database/textfile.h"
#include "tests/support/filebytes.h"

using namespace Qt::StringLiterals;
using Testing::bytesOf;

// The C library's calls that a row makes fail, the next one of each once:
// fdatasync, close (after closing) and write with EIO or ENOSPC, link with
// EPERM, or EOPNOTSUPP, as on file systems without hard links. Reads fail with EIO once
// readable bytes are read; unlink and fsync calls are counted.
namespace {
enum Call : unsigned { Fdatasync = 1, Close = 2, Write = 4, Link = 8, Read = 16, NoLinks = 32 };
unsigned failing = 0;
int unlinks = 0, fsyncs = 0;
qint64 readable = -1; // -1: no limit

bool fails(Call call, int error)
{
    if (!(failing & call))
        return false;
    failing &= ~call;
    errno = error;
    return true;
}

template<class F>
F next(const char *name)
{
    return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}
} // namespace

extern "C" {
int fsync(int fd)
{
    ++fsyncs;
    return next<int (*)(int)>("fsync")(fd);
}
ssize_t read(int fd, void *data, size_t size)
{
    if (readable == 0)
        return errno = EIO, -1;
    const ssize_t got = next<ssize_t (*)(int, void *, size_t)>("read")(fd, data, readable < 0 ? size : std::min(size, size_t(readable)));
    readable -= readable > 0 && got > 0 ? got : 0;
    return got;
}
int fdatasync(int fd)
{
    return fails(Fdatasync, EIO) ? -1 : next<int (*)(int)>("fdatasync")(fd);
}
int close(int fd)
{
    const int closed = next<int (*)(int)>("close")(fd);
    return fails(Close, EIO) ? -1 : closed;
}
ssize_t write(int fd, const void *data, size_t size)
{
    return fails(Write, ENOSPC) ? -1 : next<ssize_t (*)(int, const void *, size_t)>("write")(fd, data, size);
}
int link(const char *from, const char *to) noexcept
{
    return fails(Link, EPERM) || fails(NoLinks, EOPNOTSUPP) ? -1 : next<int (*)(const char *, const char *)>("link")(from, to);
}
int unlink(const char *path) noexcept
{
    ++unlinks;
    return next<int (*)(const char *)>("unlink")(path);
}
}

class TestTextFile : public QObject
{
    Q_OBJECT

    static qsizetype openFiles() { return QDir(u"/proc/self/fd"_s).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size(); }

private slots:
    // Read whole or in pieces and decoded many bytes at a time, a byte keeps its own character.
    void everyByteKeepsItsCharacter_data()
    {
        QTest::addColumn<int>("quoteAt"); // a curly quote in lines of "a"; -1: every byte throughout
        for (const int at : {-1, 0, 7, 8, 9, 262143, 262144, 699999})
            QTest::addRow("%d", at) << at;
    }

    void everyByteKeepsItsCharacter()
    {
        QFETCH(int, quoteAt);
        QByteArray bytes(700000, Qt::Uninitialized);
        for (int i = 0; i < bytes.size(); ++i)
            bytes[i] = i == quoteAt ? '\x93' : quoteAt < 0 ? char(i * 7 % 256) : i % 13 == 12 ? '\n' : 'a';
        QTemporaryDir dir;
        const QString path = dir.filePath(u"mylist"_s);
        QVERIFY(TextFile::writeAtomically(path, TextFile::decode(bytes)) && TextFile::encode(TextFile::decode(bytes)) == bytes);
        QString oneByOne, pieces;
        for (const char b : bytes)
            oneByOne += TextFile::decode(QByteArrayView(&b, 1));
        qint64 told = -1, count = 0;
        QVERIFY(TextFile::readInPieces(path, [&told](qint64 size) { told = size; },
                                       [&](QStringView piece) { pieces += piece, ++count; }));
        QVERIFY(TextFile::read(path) == oneByOne && pieces == oneByOne && told == bytes.size() && count > 1);
        QVERIFY(TextFile::readBytes(path) == bytes);
        const QByteArrayView upTo = QByteArrayView(bytes).first(quoteAt < 0 ? bytes.size() : quoteAt + 1); // every byte weighed
        QVERIFY(TextFile::decodesTo(upTo, TextFile::decode(upTo)) && !TextFile::decodesTo(upTo, QString::fromLatin1(upTo)));
    }

    // A character the code page lacks is written '?', the controls U+0080 to
    // U+009F among them; an append never truncates.
    void writeThenAppend()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"diet"_s);
        QVERIFY(TextFile::append(path, u"the old, longer text\r\n"_s));
        QVERIFY(TextFile::writeAtomically(path, TextFile::joinLines({u"Crème €\u0080\u009f\u00a0"_s, QString(), u" x→ "_s})));
        QVERIFY(TextFile::append(path, u"more\r\n"_s));
        QVERIFY(TextFile::decodesTo("twenty-four plain bytes.", u"twenty-four plain bytes."));
        failing = Write; // a full disk: the write says so and the file stays
        QVERIFY(!TextFile::writeAtomically(path, u"lost"_s));
        QCOMPARE(bytesOf(path), QByteArray("Cr\xe8me \x80??\xa0\r\n\r\n x? \r\nmore\r\n"));
    }

    void replaceOrCopy_data()
    {
        QTest::addColumn<QString>("operation"); // "replace" diet, "copy" it to diet6
        QTest::addColumn<int>("mode");          // of the old "diet"; 0: there is none, -1: nor its folder
        QTest::addColumn<unsigned>("fail");
        QTest::addColumn<QString>("outcome");   // and the files after it: name, mode, text
        QTest::newRow("a replacement keeps the file's permissions") << u"replace"_s << 0640 << 0u << u"replaced; diet 640 new"_s;
        QTest::newRow("a first file gets what the umask allows") << u"replace"_s << 0 << 0u << u"replaced; diet 644 new"_s;
        QTest::newRow("a folder that is not there takes no temporary file") << u"replace"_s << -1 << 0u
            << u"write failed: No such file or directory"_s;
        QTest::newRow("a write that fails leaves the file as it was") << u"replace"_s << 0640 << unsigned(Write)
            << u"write failed: No space left on device; diet 640 old"_s;
        QTest::newRow("a data sync that fails stops the replacement, though the close succeeds") << u"replace"_s << 0640
            << unsigned(Fdatasync) << u"commit failed: Input/output error; diet 640 old"_s;
        QTest::newRow("a close that fails stops the replacement") << u"replace"_s << 0640 << unsigned(Close)
            << u"commit failed: Input/output error; diet 640 old"_s;
        QTest::newRow("a copy of a file that is not there fails") << u"copy"_s << -1 << 0u << u"failed: No such file or directory"_s;
        QTest::newRow("a hard link keeps the copy") << u"copy"_s << 0640 << 0u << u"copied; diet 640 old; diet6 640 old"_s;
        QTest::newRow("without hard links the bytes are copied") << u"copy"_s << 0640 << unsigned(Link)
            << u"copied; diet 640 old; diet6 644 old"_s;
        QTest::newRow("a file system that knows no links at all gets the bytes too") << u"copy"_s << 0640 << unsigned(NoLinks)
            << u"copied; diet 640 old; diet6 644 old"_s;
        QTest::newRow("a copy whose close fails is taken away again") << u"copy"_s << 0640 << unsigned(Link | Close)
            << u"failed: Input/output error; diet 640 old"_s;
        QTest::newRow("a copy whose write fails is taken away again, though the close succeeds") << u"copy"_s << 0640
            << unsigned(Link | Write) << u"failed: No space left on device; diet 640 old"_s;
        QTest::newRow("a read error part way through diet keeps the items read whole before it") << u"load"_s << 0640
            << unsigned(Read) << u"A|B, cut short and in pieces; diet 640 A,m,1,2,3,4,5,6,7\r\nB,m,1,2,3,4,5,6,7\r\nC,m,1\r\n"_s;
    }

    // Nothing is left open, and only a temporary file that was made is removed.
    void replaceOrCopy()
    {
        QFETCH(QString, operation); QFETCH(int, mode); QFETCH(unsigned, fail); QFETCH(QString, outcome);
        ::umask(022);
        QTemporaryDir dir;
        const QString path = dir.filePath(mode < 0 ? u"gone/diet"_s : u"diet"_s);
        if (mode > 0)
            QVERIFY(TextFile::writeAtomically(path, u"old"_s) && ::chmod(QFile::encodeName(path), mode_t(mode)) == 0);
        const qsizetype open = openFiles();
        QString error, result;
        unlinks = 0;
        failing = fail;
        if (operation == u"copy") {
            result = TextFile::keepCopy(path, dir.filePath(u"diet6"_s), &error) ? u"copied"_s : u"failed: "_s + error;
        } else if (operation == u"load") {
            QVERIFY(TextFile::writeAtomically(path, u"A,m,1,2,3,4,5,6,7\r\nB,m,1,2,3,4,5,6,7\r\nC,m,1\r\n"_s));
            FoodTable table;
            readable = 40; // up to the comma after C
            const FoodLoad load = loadFoodTable(path, table);
            readable = 40;
            const bool inPieces = TextFile::readInPieces(path, [](qint64) {}, [](QStringView) {});
            readable = -1;
            result = load.names.join(u'|') + (load.complete ? u""_s : u", cut short"_s) + (inPieces ? u""_s : u" and in pieces"_s);
        } else {
            TextFile::Replacement replacement(path);
            result = !replacement.write("new", &error) ? u"write failed: "_s + error
                : !replacement.commit(&error)          ? u"commit failed: "_s + error
                                                       : u"replaced"_s;
            // A failed write takes its temporary file away at once, not only when the replacement goes.
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).filter(u".diet."_s), QStringList());
            TextFile::syncFolderOf(path);
        }
        failing = 0;
        QCOMPARE(::umask(022), mode_t(022));
        for (const QFileInfo &file : QDir(dir.path()).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name)) {
            struct stat info;
            ::stat(QFile::encodeName(file.filePath()), &info);
            result += u"; %1 %2 %3"_s.arg(file.fileName()).arg(info.st_mode & 0777, 0, 8).arg(QString::fromLatin1(bytesOf(file.filePath())));
        }
        QCOMPARE(result, outcome);
        QCOMPARE(openFiles(), open);
        QCOMPARE(unlinks, int(outcome.contains(u"failed"_s) && mode >= 0));
    }

    // What a crash left behind an hour ago goes with the next write; a younger
    // temporary file may be another save under way and stays, and so does an
    // old file of any other name.
    void staleTemporaryFilesAreCleared()
    {
        QTemporaryDir dir;
        for (const auto &[name, age] : {std::pair{u".diet.AAAAAA"_s, 7200}, {u".diet.BBBBBB"_s, 60}, {u".dblog.AAAAA"_s, 7200}}) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-age), QFileDevice::FileModificationTime));
        }
        const qsizetype open = openFiles();
        fsyncs = 0;
        QVERIFY(TextFile::writeAtomically(dir.filePath(u"diet"_s), u"new\r\n"_s));
        QCOMPARE(openFiles(), open);
        QCOMPARE(fsyncs, 1); // the folder, so that the rename lasts
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), (QStringList{u".dblog.AAAAA"_s, u".diet.BBBBBB"_s, u"diet"_s}));
    }
};

QTEST_GUILESS_MAIN(TestTextFile)
#include "tst_textfile.moc"
