#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPixmapCache>
#include <QStyle>
#include <QStyleFactory>
#include <QTimer>
#include <QtTest>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/controls/MessageBoxPrompter.h"
#include "platform/ui/dialogs/PropertyPage.h"
#include "platform/ui/dialogs/PropertySheet.h"
#include "platform/ui/dialogs/StylePictures.h"
#include "res/ResourceIds.h"
#include "res/ui/Artwork.h"
#include "summary/ui/SplashDialog.h"
#include "support/ui/QtTestMain.h"

using namespace zo;

// A sheet that gives its window the program's icon as it is made, as both sheets do.
class IconSheet : public ui::PropertySheet {
public:
    IconSheet() : ui::PropertySheet("Icon") {}

protected:
    int OnCreate() override {
        SetIcon(m_icon, true);
        SetIcon(m_icon, false);
        return 0;
    }

private:
    QIcon m_icon = res::LoadAppIcon();
};

class LookTest : public QObject {
    Q_OBJECT

private slots:
    // At two device pixels to the pixel a picture is drawn with twice the detail, not
    // enlarged, and keeps its size in the layout.
    void artworkIsDrawnAtTheDevicePixelRatio() {
        for (int id : {res::IDB_BANNER, res::IDB_SIGN_YIELD, res::IDB_SPLASH}) {
            QImage one = res::DrawBitmap(id, 1.0);
            QImage two = res::DrawBitmap(id, 2.0);
            QCOMPARE(two.size(), one.size() * 2);
            QCOMPARE(two.devicePixelRatio(), 2.0);
            QCOMPARE(two.deviceIndependentSize().toSize(), one.size());
            QImage enlarged = one.scaled(two.size()).convertToFormat(two.format());
            enlarged.setDevicePixelRatio(2.0);
            QVERIFY2(enlarged != two, "the picture at ratio 2 is only the one at ratio 1 enlarged");
        }
        for (res::MessageSign sign : {res::MessageSign::Warning, res::MessageSign::Question,
                                      res::MessageSign::Information, res::MessageSign::Critical}) {
            QImage one = res::DrawMessageSign(sign, 1.0);
            QImage two = res::DrawMessageSign(sign, 2.0);
            QCOMPARE(two.size(), QSize(64, 64));
            QCOMPARE(two.deviceIndependentSize().toSize(), QSize(32, 32));
            QImage enlarged = one.scaled(two.size()).convertToFormat(two.format());
            enlarged.setDevicePixelRatio(2.0);
            QVERIFY2(enlarged != two, "the sign at ratio 2 is only the one at ratio 1 enlarged");
        }
        QImage odd = res::DrawBitmap(res::IDB_BANNER, 1.5);
        QCOMPARE(odd.deviceIndependentSize().toSize(), QSize(357, 73));
    }

    // The splash is as large as its picture and the margin before it, on each side.
    // The window icon, drawn only when asked for, is the drawn icon at each of its sizes,
    // and a sheet's window shows that icon.
    void theWindowIconIsTheDrawnIcon() {
        const QIcon icon = res::LoadAppIcon();
        QCOMPARE(icon.availableSizes(), (QList<QSize>{{64, 64}, {32, 32}, {16, 16}}));
        for (int size : {16, 32, 64}) {
            QCOMPARE(
                icon.pixmap(QSize(size, size)).toImage().convertToFormat(QImage::Format_ARGB32),
                res::DrawIcon(size).convertToFormat(QImage::Format_ARGB32));
        }
        IconSheet sheet;
        ui::PropertyPage page(res::IDD_LOCATION);
        sheet.AddPage(&page);
        QVERIFY(sheet.Create());
        // Not while the window is made, where a window system would have it drawn at once;
        // once the window has been painted.
        QWidget* window = sheet.Widget()->window();
        QVERIFY(window->windowIcon().isNull());
        QTRY_VERIFY(!window->windowIcon().isNull());
        QCOMPARE(window->windowIcon()
                     .pixmap(QSize(32, 32))
                     .toImage()
                     .convertToFormat(QImage::Format_ARGB32),
                 res::DrawIcon(32).convertToFormat(QImage::Format_ARGB32));
    }

    // A picture drawn ahead on a thread of its own is the picture drawn where it is needed.
    void aPictureDrawnAheadIsThePicture() {
        for (int id : {res::IDB_BANNER, res::IDB_SIGN_STOP}) {
            res::DrawBitmapAhead(id);
            const QImage ahead = res::LoadBitmap(id).toImage();
            QCOMPARE(ahead,
                     res::DrawBitmap(id, qApp->devicePixelRatio()).convertToFormat(ahead.format()));
        }
    }

    // Group boxes look the same whether their picture was read ahead of the style or by it.
    void groupBoxesLookTheSameWithTheirPictureReadAhead() {
        std::unique_ptr<QStyle> fusion(QStyleFactory::create("Fusion"));
        QVERIFY(fusion);
        auto shot = [&] {
            QGroupBox box("Location");
            box.setStyle(fusion.get());
            box.resize(160, 90);
            return box.grab().toImage();
        };
        QPixmapCache::clear();
        ui::PreloadStylePictures();
        const QImage ahead = shot();
        QPixmapCache::clear();
        const QImage byStyle = shot();
        QCOMPARE(ahead, byStyle);
    }

    void splashFitsItsPicture() {
        summary::SplashDialog splash;
        QVERIFY(splash.Create());
        QWidget* w = splash.Widget();
        auto* picture = w->findChild<QLabel*>();
        QVERIFY(picture);
        QCOMPARE(picture->size(), QSize(520, 315));
        const QRect r = picture->geometry();
        QVERIFY(r.left() > 0 && r.top() > 0);
        QCOMPARE(w->size(), QSize(520 + 2 * r.left(), 315 + 2 * r.top()));
        splash.DestroyWindow();
    }

    // A box that names no icon shows the one of its kind, and is wide enough for its title.
    void messageBoxesShowTheirKind() {
        ui::MessageBoxPrompter prompter("Kest Ferronix ZO!(tm) Series Configuration");
        struct Case {
            platform::Buttons buttons;
            platform::Icon icon;
            QMessageBox::Icon shown;
            res::MessageSign sign;
        };
        const Case cases[] = {
            {platform::Buttons::Ok, platform::Icon::None, QMessageBox::Warning,
             res::MessageSign::Warning},
            {platform::Buttons::YesNo, platform::Icon::None, QMessageBox::Question,
             res::MessageSign::Question},
            {platform::Buttons::RetryCancel, platform::Icon::None, QMessageBox::NoIcon,
             res::MessageSign::Warning},
            {platform::Buttons::Ok, platform::Icon::Error, QMessageBox::Critical,
             res::MessageSign::Critical},
        };
        for (const Case& c : cases) {
            QMessageBox::Icon seen = QMessageBox::NoIcon;
            QImage sign;
            int width = 0, titleWidth = 0;
            QTimer::singleShot(0, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (!box) {
                    return;
                }
                seen = box->icon();
                if (auto* label = box->findChild<QLabel*>("qt_msgboxex_icon_label")) {
                    sign = label->pixmap().toImage();
                }
                width = box->width();
                titleWidth = box->fontMetrics().horizontalAdvance(box->windowTitle());
                box->reject();
            });
            prompter.Ask("Hi.", c.buttons, c.icon, "");
            QCOMPARE(seen, c.shown);
            if (c.shown != QMessageBox::NoIcon) {
                // The program's own sign, drawn for the screen's ratio.
                QCOMPARE(sign, res::LoadMessageSign(c.sign).toImage());
            }
            QVERIFY2(width > titleWidth + 60, "the box is narrower than its title");
        }
    }

    // A profile name or the card's text with markup in it is shown as typed: no picture
    // from the disk, no bold, in the message and in its detail alike.
    void messageBoxesShowNamesAsPlainText() {
        ui::MessageBoxPrompter prompter("Kest");
        const std::string name = "<img src=\"/etc/hostname\"><b>Office</b>";
        QStringList shown;
        bool plain = true;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) {
                return;
            }
            plain = box->textFormat() == Qt::PlainText;
            for (auto* label : box->findChildren<QLabel*>()) {
                if (!label->text().isEmpty()) {
                    plain = plain && label->textFormat() == Qt::PlainText;
                    shown << label->text();
                }
            }
            box->reject();
        });
        prompter.Ask("The profile " + name + " was not applied.", platform::Buttons::YesNo,
                     platform::Icon::None, "card: " + name);
        QVERIFY2(plain, qPrintable(shown.join(" | ")));
        QVERIFY(shown.contains(QString::fromStdString("card: " + name)));
    }
};

ZO_QTEST(LookTest)
#include "LookTest.moc"
