// The Qt runtime services: the system clock and the real message box, which
// a timer inspects and closes so that no test waits for a user.
#include <QApplication>
#include <QDate>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "main_window.h"
#include "qt_environment.h"

namespace {

struct SeenBox {
    bool seen = false;
    QString title;
    QString text;
    QStringList buttons;
    QMessageBox::Icon icon = QMessageBox::Information;
    Qt::LayoutDirection direction = Qt::LeftToRight;
    Qt::WindowModality modality = Qt::NonModal;
    Qt::TextFormat format = Qt::AutoText;
    QWidget* parent = nullptr;
    QString face;
};

// Once the box is up, notes what it shows and presses its one button.
void InspectAndCloseNextBox(SeenBox& seen) {
    QTimer::singleShot(0, [&seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        seen.seen = true;
        seen.title = box->windowTitle();
        seen.text = box->text();
        for (QAbstractButton* button : box->buttons()) {
            seen.buttons.append(button->text());
        }
        seen.icon = box->icon();
        seen.direction = box->layoutDirection();
        seen.modality = box->windowModality();
        seen.format = box->textFormat();
        seen.parent = box->parentWidget();
        seen.face = box->fontInfo().family();
        if (!box->buttons().isEmpty()) {
            box->buttons().constFirst()->click();
        }
    });
}

}  // namespace

class QtEnvironmentTest : public QObject {
    Q_OBJECT

private slots:
    void todayIsTheSystemDate() {
        const QtEnvironment environment(QStringLiteral("title"));
        const QDate before = QDate::currentDate();
        const Runtime::Date today = environment.Today();
        const QDate after = QDate::currentDate();
        const QDate seen(today.year, today.month, today.day);
        QVERIFY(seen == before || seen == after);
    }

    void messageBox_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("Persian") << QStringLiteral("خطا - - - سال را شمسي وارد نماييد");
        QTest::newRow("marker") << QStringLiteral("xxxxxxxxx1");
        // Shown as typed, never read as markup.
        QTest::newRow("markup") << QStringLiteral("<b>1382</b>");
    }

    void messageBox() {
        QFETCH(QString, text);
        QWidget owner;
        QtEnvironment environment(Form1::Caption());
        environment.SetOwner(&owner);

        SeenBox seen;
        InspectAndCloseNextBox(seen);
        environment.MessageBox(text.toStdU32String());

        // MessageBox returned only after the box had been up and was closed.
        QVERIFY(seen.seen);
        QCOMPARE(seen.title, Form1::Caption());
        QCOMPARE(seen.text, text);
        QCOMPARE(seen.buttons, QStringList{QtEnvironment::OkCaption()});
        QCOMPARE(seen.icon, QMessageBox::NoIcon);
        QCOMPARE(seen.direction, Qt::RightToLeft);
        QCOMPARE(seen.modality, Qt::ApplicationModal);
        QCOMPARE(seen.format, Qt::PlainText);
        QCOMPARE(seen.parent, &owner);
        // Persian text in a Persian face, not in whatever fallback is around.
        QVERIFY2(seen.face == QStringLiteral("Tahoma") || seen.face == QStringLiteral("Vazirmatn UI"),
                 qPrintable(seen.face));
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
    }

    void okCaptionIsPersian() {
        const QString caption = QtEnvironment::OkCaption();
        QVERIFY(!caption.isEmpty());
        for (const QChar c : caption) {
            QVERIFY(c.unicode() >= 0x0621 && c.unicode() <= 0x064A);
        }
    }

    // The credit label through the real message box: the box carries the
    // credit and the application title, and the window is left as it was.
    void creditThroughTheRealBox() {
        QtEnvironment environment(Form1::Caption());
        Form1 form(environment);
        environment.SetOwner(&form);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        auto* label4 = form.findChild<QLabel*>(QStringLiteral("Label4"));
        QVERIFY(label4 != nullptr);
        for (int click = 0; click < 2; ++click) {
            SeenBox seen;
            InspectAndCloseNextBox(seen);
            QTest::mouseClick(label4, Qt::LeftButton);
            QVERIFY(seen.seen);
            QCOMPARE(seen.text, Form1::Credit());
            QCOMPARE(seen.title, Form1::Caption());
            QCOMPARE(seen.buttons.size(), 1);
            QCOMPARE(seen.parent, &form);
        }
        QVERIFY(form.isVisible());
    }
};

QTEST_MAIN(QtEnvironmentTest)
#include "qt_environment_test.moc"
