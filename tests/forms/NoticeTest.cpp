// The desktop notice at the end of a job, through a notification service this test registers on
// a session bus of its own (CTest runs the suite under dbus-run-session).
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QLineEdit>

#include "FormTestSupport.h"
#include "FormTests.h"
#include "forms/DesktopNotice.h"

using namespace formtest;

void NoticeTest::aJobThatEndsUnseenIsNoticed() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        QSKIP("no session bus (run under dbus-run-session)");
    }
    // No service: nothing is sent, and nothing waits.
    QVERIFY(!DesktopNotice::Send("summary", "body"));

    const QString service = QStringLiteral("org.freedesktop.Notifications");
    FakeNotifications fake;
    QVERIFY(bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &fake,
                               QDBusConnection::ExportAllSlots));
    QVERIFY(bus.registerService(service));

    Scratch scratch;
    MakeTone(scratch / "good.wav", 0.3);
    std::ofstream(scratch / "junk.wav") << "not a wave file";
    Forms forms;
    const auto convert = [&](bool active) {
        forms.ShowWith({scratch / "good.wav", scratch / "junk.wav"});
        forms.Control<QAbstractButton>("chkFormatMp3")->click();
        if (active) {
            QApplication::setActiveWindow(&forms.Options());
        } else {
            QApplication::setActiveWindow(nullptr);
        }
        ModalAnswerer answers;
        if (std::filesystem::exists(scratch / "good.mp3")) {
            answers.Click("&Yes");
        }
        answers.Click("&Ok");
        forms.Convert();
    };
    // Seen by the user: no notice. Then unseen: one, with the counts.
    convert(true);
    convert(false);
    QTRY_COMPARE(fake.notices.size(), 1);
    QCOMPARE(fake.notices[0], "Brindlex Music Converter | Conversion complete, with problems | "
                              "1 converted, 1 failed");
    bus.unregisterService(service);
    bus.unregisterObject(QStringLiteral("/org/freedesktop/Notifications"));
}
