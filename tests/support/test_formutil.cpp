#include "support/formposition.h"
#include "support/modformutil.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// Window positions go to a throw-away settings folder, never the user's.
class FormUtilTest : public ::testing::Test {
protected:
    FormUtilTest()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
    }

    static QString stored(const QString& name)
    {
        QSettings s(QStringLiteral("DCX700 Comm"), QStringLiteral("DCX700 Comm"));
        return s.value(QStringLiteral("Form Positions/") + name).toString();
    }
    static void store(const QString& name, const QString& text)
    {
        QSettings s(QStringLiteral("DCX700 Comm"), QStringLiteral("DCX700 Comm"));
        s.setValue(QStringLiteral("Form Positions/") + name, text);
    }
    static QRect screen() { return QGuiApplication::primaryScreen()->availableGeometry(); }

    QTemporaryDir dir;
};

} // namespace

TEST(FormPositionText, FormatAndParse)
{
    EXPECT_EQ(FormPositionText({12, 34, 640, 480, 2}), "L=12;T=34;W=640;H=480;S=2;");
    const auto p = ParseFormPosition("L=-5;T=7;W=300;H=200;S=0;");
    ASSERT_TRUE(p);
    EXPECT_EQ(p->left, -5);
    EXPECT_EQ(p->top, 7);
    EXPECT_EQ(p->width, 300);
    EXPECT_EQ(p->height, 200);
    EXPECT_EQ(p->state, 0);
    EXPECT_FALSE(ParseFormPosition(""));
    const auto partial = ParseFormPosition("W=90;junk");
    ASSERT_TRUE(partial);
    EXPECT_EQ(partial->left, 0);
    EXPECT_EQ(partial->width, 90);
    // Pulled back onto a 1000x800 screen from the right and from above.
    EXPECT_EQ(KeepOnScreen(QRect(900, -20, 300, 200), QRect(0, 0, 1000, 800)), QRect(700, 0, 300, 200));
    EXPECT_EQ(KeepOnScreen(QRect(-50, 700, 300, 200), QRect(0, 0, 1000, 800)), QRect(0, 600, 300, 200));
}

TEST_F(FormUtilTest, SaveAndRestorePlacement)
{
    QWidget w;
    w.setObjectName(QStringLiteral("frmProcess"));
    w.move(40, 50);
    w.resize(320, 240);
    SaveFormPosition(&w);
    const QString text = stored(QStringLiteral("frmProcess"));
    EXPECT_TRUE(text.endsWith(QStringLiteral("W=320;H=240;S=0;"))) << text.toStdString();
    EXPECT_TRUE(text.startsWith(QStringLiteral("L="))) << text.toStdString();

    // A resizable window takes position and size.
    store(QStringLiteral("frmProcess"), QStringLiteral("L=10;T=20;W=300;H=200;S=0;"));
    RestoreFormPosition(&w, true);
    EXPECT_EQ(w.pos(), QPoint(10, 20));
    EXPECT_EQ(w.size(), QSize(300, 200));

    // A fixed-size window keeps its size; off-screen places are pulled back.
    QWidget fixed;
    fixed.setObjectName(QStringLiteral("frmAbout"));
    fixed.setFixedSize(200, 100);
    store(QStringLiteral("frmAbout"), QStringLiteral("L=100000;T=100000;W=999;H=999;S=0;"));
    RestoreFormPosition(&fixed, true);
    EXPECT_EQ(fixed.size(), QSize(200, 100));
    EXPECT_EQ(fixed.geometry().right(), screen().right());
    EXPECT_EQ(fixed.geometry().bottom(), screen().bottom());
    RestoreFormPosition(&fixed, false);
    EXPECT_EQ(fixed.pos(), QPoint(100000, 100000));

    // A stored maximised state is applied as the state.
    QWidget m;
    m.setObjectName(QStringLiteral("frmMain"));
    store(QStringLiteral("frmMain"), QStringLiteral("L=1;T=2;W=3;H=4;S=2;"));
    RestoreFormPosition(&m, true);
    EXPECT_TRUE(m.windowState().testFlag(Qt::WindowMaximized));

    // Nothing stored: nothing changes.
    QWidget n;
    n.setObjectName(QStringLiteral("frmSensor"));
    n.move(7, 8);
    n.resize(111, 99);
    RestoreFormPosition(&n, true);
    EXPECT_EQ(n.pos(), QPoint(7, 8));
    EXPECT_EQ(n.size(), QSize(111, 99));
}
