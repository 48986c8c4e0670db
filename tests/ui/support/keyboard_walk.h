// Walking a window with the Tab key as a user would, and checking that the
// walk follows the window's layout and reaches every button.
#pragma once

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QRadioButton>
#include <QStringList>
#include <QTest>
#include <QWidget>

namespace qm::test {

// The control that has the focus: an editable combo box's line edit counts
// as the combo box.
inline QWidget* FocusedControl() {
    QWidget* focused = QApplication::focusWidget();
    QWidget* parent = focused ? focused->parentWidget() : nullptr;
    const bool inBox = qobject_cast<QComboBox*>(parent) || qobject_cast<QAbstractSpinBox*>(parent);
    return inBox ? parent : focused;
}

// Names for failure messages: the object name, else the text, else the class.
inline QString Describe(const QList<QWidget*>& widgets) {
    QStringList names;
    for (const QWidget* w : widgets) {
        const auto* button = qobject_cast<const QAbstractButton*>(w);
        names << (!w->objectName().isEmpty() ? w->objectName()
                  : button                   ? button->text()
                                             : QString::fromLatin1(w->metaObject()->className()));
    }
    return names.join(QStringLiteral(" > "));
}

// The controls in the order Tab visits them, from the one that has the focus
// once `window` is shown and active.
inline QList<QWidget*> TabWalk(QWidget& window) {
    window.show();
    // A dialog over another window is not made active by the offscreen platform on its own.
    QApplication::setActiveWindow(&window);
    if (!QTest::qWaitForWindowActive(&window) || !FocusedControl()) return {};
    QList<QWidget*> visited{FocusedControl()};
    for (int step = 0; step < 100; ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        if (FocusedControl() == visited.front()) break;
        visited << FocusedControl();
    }
    return visited;
}

// True when `later` does not read before `earlier`: it lies lower, or on the
// same row (the two overlap vertically) and not to the left.
inline bool ReadsAfter(const QWidget* earlier, const QWidget* later) {
    const QWidget* window = earlier->window();
    const QRect a(earlier->mapTo(window, QPoint(0, 0)), earlier->size());
    const QRect b(later->mapTo(window, QPoint(0, 0)), later->size());
    const bool sameRow = std::min(a.bottom(), b.bottom()) > std::max(a.top(), b.top());
    return sameRow ? b.left() >= a.left() : b.top() > a.top();
}

// What is wrong with Tab in `window`, empty when nothing: the walk, a cycle,
// must read from top left to bottom right from one of its controls on, and
// reach every visible, enabled button. Tab enters a group of radio buttons
// once and the arrow keys choose within it, so one of a group reaches all.
inline QString TabProblems(QWidget& window) {
    const QList<QWidget*> walk = TabWalk(window);
    if (walk.isEmpty()) return QStringLiteral("no walk");
    bool inOrder = false;
    for (qsizetype start = 0; start < walk.size() && !inOrder; ++start) {
        inOrder = true;
        for (qsizetype i = 0; i + 1 < walk.size(); ++i) {
            inOrder = inOrder && ReadsAfter(walk[(start + i) % walk.size()],
                                            walk[(start + i + 1) % walk.size()]);
        }
    }
    const auto reached = [&walk](QAbstractButton* button) {
        const auto* radio = qobject_cast<QRadioButton*>(button);
        for (QWidget* visited : walk) {
            auto* other = qobject_cast<QRadioButton*>(visited);
            if (visited == button || (radio && other && radio->group() == other->group() &&
                                      other->parentWidget() == radio->parentWidget()))
                return true;
        }
        return false;
    };
    QList<QWidget*> missed;
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        if (button->isVisible() && button->isEnabled() && !reached(button)) missed << button;
    }
    if (inOrder && missed.isEmpty()) return {};
    return Describe(walk) + (inOrder ? QString() : QStringLiteral("\n  out of reading order")) +
           (missed.isEmpty() ? QString() : QStringLiteral("\n  missed: ") + Describe(missed));
}

}  // namespace qm::test
