#include <sys/resource.h>
#include <sys/wait.h>
#include <csignal>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "textfile.h"

using namespace Qt::StringLiterals;

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class TestTextFile : public QObject
{
    Q_OBJECT

private slots:
    void everyByteDecodesAndEncodesBack();
    void windows1252Characters_data();
    void windows1252Characters();
    void writeReplacesWithCrLfBytes();
    void appendCreatesThenGrows();
    void failedWriteKeepsTheOldFile();
    void missingFileIsNotRead();
};

void TestTextFile::everyByteDecodesAndEncodesBack()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    QCOMPARE(TextFile::encode(TextFile::decode(all)), all);
}

void TestTextFile::windows1252Characters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("euro sign") << u"€"_s << QByteArray("\x80");
    QTest::newRow("curly quotes") << u"“x”"_s << QByteArray("\x93x\x94");
    QTest::newRow("Latin-1 letters") << u"éÿ"_s << QByteArray("\xe9\xff");
    QTest::newRow("capital Y with diaeresis") << u"Ÿ"_s << QByteArray("\x9f");
    QTest::newRow("outside the code page becomes ?") << u"a→b"_s << QByteArray("a?b");
}

void TestTextFile::windows1252Characters()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(TextFile::encode(text), bytes);
    if (!text.contains(u'→'))
        QCOMPARE(TextFile::decode(bytes), text);
}

void TestTextFile::writeReplacesWithCrLfBytes()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"diet"_s);
    QVERIFY(TextFile::writeAtomically(path, u"old\r\nlonger text\r\n"_s));
    QVERIFY(TextFile::writeAtomically(path, TextFile::joinLines({u"Crème"_s, QString(), u" x "_s})));
    QCOMPARE(bytesOf(path), QByteArray("Cr\xe8me\r\n\r\n x \r\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"diet"_s});
}

void TestTextFile::appendCreatesThenGrows()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"mylist"_s);
    QVERIFY(TextFile::append(path, u"one\r\n"_s));
    QVERIFY(TextFile::append(path, u"two\r\n"_s));
    QCOMPARE(bytesOf(path), QByteArray("one\r\ntwo\r\n"));
}

// A disk that fills up mid-write is simulated with a file size limit in a
// child process; the parent then checks what the child left on disk.
void TestTextFile::failedWriteKeepsTheOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"diet"_s);
    QVERIFY(TextFile::writeAtomically(path, u"the old database\r\n"_s));

    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{8, 8};
        setrlimit(RLIMIT_FSIZE, &limit);
        QString error;
        const bool written = TextFile::writeAtomically(path, QString(1000, u'x'), &error);
        _exit(!written && !error.isEmpty() ? 0 : 1);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0);
    QCOMPARE(bytesOf(path), QByteArray("the old database\r\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"diet"_s});
}

void TestTextFile::missingFileIsNotRead()
{
    QTemporaryDir dir;
    QString error;
    QCOMPARE(TextFile::read(dir.filePath(u"nothing"_s), &error), std::nullopt);
    QVERIFY(!error.isEmpty());
    QVERIFY(!TextFile::append(dir.path(), u"x"_s, &error)); // a folder cannot be appended to
}

QTEST_GUILESS_MAIN(TestTextFile)
#include "tst_textfile.moc"
