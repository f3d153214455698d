#include "app/commandline.h"
#include "testmain.h"

class tst_CommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void argumentsBecomeAbsoluteFileUrls_data();
    void argumentsBecomeAbsoluteFileUrls();
};

void tst_CommandLine::argumentsBecomeAbsoluteFileUrls_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("paths");

    const QString cwd = QStringLiteral("/home/me/work");
    QTest::newRow("nothing") << QStringList() << QStringList();
    QTest::newRow("relative names, in order")
        << QStringList { QStringLiteral("b.txt"), QStringLiteral("sub/a.txt") }
        << QStringList { cwd + QStringLiteral("/b.txt"), cwd + QStringLiteral("/sub/a.txt") };
    QTest::newRow("dots are resolved")
        << QStringList { QStringLiteral("../x.txt"), QStringLiteral("./y.txt") }
        << QStringList { QStringLiteral("/home/me/x.txt"), cwd + QStringLiteral("/y.txt") };
    QTest::newRow("absolute path stays") << QStringList { QStringLiteral("/tmp/n.txt") }
                                         << QStringList { QStringLiteral("/tmp/n.txt") };
    QTest::newRow("file url names its file")
        << QStringList { QStringLiteral("file:///tmp/with%20space.txt") }
        << QStringList { QStringLiteral("/tmp/with space.txt") };
    QTest::newRow("remote url is dropped")
        << QStringList { QStringLiteral("https://example.org/n.txt"), QStringLiteral("n.txt") }
        << QStringList { cwd + QStringLiteral("/n.txt") };
    QTest::newRow("empty argument is dropped") << QStringList { QString(), QStringLiteral("n.txt") }
                                               << QStringList { cwd + QStringLiteral("/n.txt") };
    QTest::newRow("after -- everything is a path")
        << QStringList { QStringLiteral("--"), QStringLiteral("--"), QStringLiteral("http://x") }
        << QStringList { cwd + QStringLiteral("/--"), cwd + QStringLiteral("/http:/x") };
}

void tst_CommandLine::argumentsBecomeAbsoluteFileUrls()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, paths);
    QStringList actual;
    for (const QUrl &url : CommandLine::fileUrls(arguments, QStringLiteral("/home/me/work"))) {
        QVERIFY(url.isLocalFile());
        actual.append(url.toLocalFile());
    }
    QCOMPARE(actual, paths);
}

WISPEN_TEST_MAIN(tst_CommandLine)
#include "tst_commandline.moc"
