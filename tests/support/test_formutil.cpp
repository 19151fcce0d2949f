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
        return QSettings("DCX700 Comm", "DCX700 Comm").value("Form Positions/" + name).toString();
    }
    static void store(const QString& name, const QString& text)
    {
        QSettings("DCX700 Comm", "DCX700 Comm").setValue("Form Positions/" + name, text);
    }
    static QRect screen() { return QGuiApplication::primaryScreen()->availableGeometry(); }

    QTemporaryDir dir;
};

} // namespace

TEST_F(FormUtilTest, SaveAndRestorePlacement)
{
    QWidget w;
    w.setObjectName(QStringLiteral("frmProcess"));
    w.move(40, 50);
    w.resize(320, 240);
    SaveFormPosition(&w);
    const QString text = stored(QStringLiteral("frmProcess"));
    EXPECT_TRUE(text.startsWith(QStringLiteral("L="))) << text.toStdString();
    EXPECT_TRUE(text.endsWith(QStringLiteral("W=320;H=240;S=0;"))) << text.toStdString();

    // A resizable window takes position and size.
    store(QStringLiteral("frmProcess"), QStringLiteral("L=10;T=20;W=300;H=200;S=0;"));
    RestoreFormPosition(&w, true);
    EXPECT_EQ(w.geometry(), QRect(10, 20, 300, 200));

    // A fixed-size window keeps its size; off-screen places are pulled back.
    QWidget fixed;
    fixed.setObjectName(QStringLiteral("frmAbout"));
    fixed.setFixedSize(200, 100);
    store(QStringLiteral("frmAbout"), QStringLiteral("L=100000;T=100000;W=999;H=999;S=0;"));
    RestoreFormPosition(&fixed, true);
    EXPECT_EQ(fixed.size(), QSize(200, 100)) << "fixed.size";
    EXPECT_EQ(fixed.geometry().bottomRight(), screen().bottomRight()) << "bottomRight";
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
    n.setGeometry(7, 8, 111, 99);
    RestoreFormPosition(&n, true);
    EXPECT_EQ(n.geometry(), QRect(7, 8, 111, 99));
}
