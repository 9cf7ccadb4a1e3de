// Typing into a widget as a user does, key press and release per character, also characters
// beyond ASCII, which QTest's own typing does not take.
#pragma once

#include <QString>
#include <QTest>
#include <QWidget>

namespace korvelan::testing {

inline void type_keys(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        const auto key = static_cast<Qt::Key>(c.toUpper().unicode());
        QTest::sendKeyEvent(QTest::Press, widget, key, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, widget, key, QString(c), Qt::NoModifier);
    }
}

}  // namespace korvelan::testing
