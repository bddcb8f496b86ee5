#pragma once

#include "BaseTemporaria.h"
#include "DialogosRoteirizados.h"

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace lumaro::teste {

// Shows a window and makes it the active one, so that focus and shortcuts behave as on a desktop.
inline void ativar(QWidget *w)
{
    w->show();
    w->activateWindow();
    QApplication::setActiveWindow(w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
}

inline void teclar(int tecla, Qt::KeyboardModifiers mod = Qt::NoModifier)
{
    QWidget *alvo = QApplication::focusWidget();
    ASSERT_NE(alvo, nullptr);
    QTest::keyClick(alvo, Qt::Key(tecla), mod);
}

// Types a text key by key; QTest's own typing knows only ASCII.
inline void escrever(QWidget *w, const QString &texto)
{
    for (const QChar c : texto) {
        if (c.unicode() < 128) {
            QTest::keyClick(w, c.toLatin1());
            continue;
        }
        const Qt::Key tecla = Qt::Key(c.toUpper().unicode());
        QTest::sendKeyEvent(QTest::Press, w, tecla, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, w, tecla, QString(c), Qt::NoModifier);
    }
}

inline QString nomeFocado()
{
    QWidget *w = QApplication::focusWidget();
    return w ? w->objectName() : QStringLiteral("(nenhum)");
}

// Lets closed forms go (deleteLater).
inline void assentar()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

} // namespace lumaro::teste
