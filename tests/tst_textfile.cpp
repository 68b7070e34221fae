#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "childprocess.h"
#include "textfile.h"

using namespace Qt::StringLiterals;

class TestTextFile : public QObject
{
    Q_OBJECT

    // The file's bytes, as every byte decodes and encodes back unchanged.
    static QByteArray bytesOf(const QString &path) { return TextFile::encode(TextFile::read(path).value_or(u"<missing>"_s)); }

private slots:
    // Read whole or in pieces and decoded many bytes at a time, a byte keeps its own character.
    void everyByteKeepsItsCharacter_data()
    {
        QTest::addColumn<int>("quoteAt"); // a curly quote in lines of "a"; -1: every byte throughout
        for (const int at : {-1, 0, 1, 7, 8, 9, 4095, 4096, 262143, 262144, 699999})
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
    }

    // A write replaces the whole file, and a character the code page lacks is
    // written '?'; an append never truncates. A disk that fills up mid-write,
    // as a file size limit in a child process, leaves the old file as it was.
    void writeAppendAndFail()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"diet"_s);
        QVERIFY(TextFile::append(path, u"the old, longer text\r\n"_s));
        QVERIFY(TextFile::writeAtomically(path, TextFile::joinLines({u"Crème €"_s, QString(), u" x→ "_s})));
        QVERIFY(TextFile::append(path, u"more\r\n"_s));
        const ChildRun run = runInChild([&path] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{8, 8};
            setrlimit(RLIMIT_FSIZE, &limit);
            QString error;
            return TextFile::writeAtomically(path, QString(1000, u'x'), &error) ? QByteArray("written") : error.toUtf8();
        });
        QVERIFY2(run.finished && !run.report.isEmpty() && run.report != "written", run.report.constData());
        QCOMPARE(bytesOf(path), QByteArray("Cr\xe8me \x80\r\n\r\n x? \r\nmore\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"diet"_s});
    }

    // What a crash left behind an hour ago goes with the next write; a younger
    // temporary file may be another save under way and stays.
    void staleTemporaryFilesAreCleared()
    {
        QTemporaryDir dir;
        for (const auto &[name, age] : {std::pair{u".diet.AAAAAA"_s, 7200}, std::pair{u".diet.BBBBBB"_s, 60}}) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-age), QFileDevice::FileModificationTime));
        }
        QVERIFY(TextFile::writeAtomically(dir.filePath(u"diet"_s), u"new\r\n"_s));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
                 (QStringList{u".diet.BBBBBB"_s, u"diet"_s}));
    }
};

QTEST_GUILESS_MAIN(TestTextFile)
#include "tst_textfile.moc"
