// The services both windows share, on their own: the twips helper and the
// replaceable desktop services.
#include <QTest>

#include "platform/runtime_services.h"
#include "platform/twips.h"

class PlatformTest : public QObject {
    Q_OBJECT

private slots:
    void twipsFollowTheLogicalDpi() {
        QCOMPARE(Twips::perPixel(), 15.0);
        QCOMPARE(Twips::toPixels(7185), 479);
        QCOMPARE(Twips::rect(120, 120, 6975, 1455), QRect(8, 8, 465, 97));
        QCOMPARE(Twips::fromPixels(2), 30.0);
    }

    void servicesCanBeReplacedAndRestored() {
        QString seen;
        RuntimeServices::setMessageHandler([&seen](QWidget*, const QString& text) { seen = text; });
        RuntimeServices::showMessage(nullptr, QStringLiteral("提示文字"));
        QCOMPARE(seen, QStringLiteral("提示文字"));
        int opened = 0;
        RuntimeServices::setOpenHandler([&opened](const QUrl&) { return ++opened > 0; });
        QVERIFY(RuntimeServices::open(QUrl(QStringLiteral("file:///tmp"))));
        QCOMPARE(opened, 1);
        RuntimeServices::restoreDefaults();
    }
};

QTEST_MAIN(PlatformTest)
#include "platform_test.moc"
