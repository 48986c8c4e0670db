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
#include <algorithm>

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

// Shows `window` and presses Tab from the control that has the focus until
// the focus comes back: the controls in the order Tab visits them.
inline QList<QWidget*> TabWalk(QWidget& window) {
    window.show();
    // A dialog over another window is not made active by the offscreen
    // platform on its own.
    QApplication::setActiveWindow(&window);
    if (!QTest::qWaitForWindowActive(&window)) return {};
    if (!QApplication::focusWidget()) return {};
    QList<QWidget*> visited{FocusedControl()};
    for (int step = 0; step < 100; ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* now = FocusedControl();
        if (now == visited.front()) break;
        visited << now;
    }
    return visited;
}

// The visible, enabled buttons of `window` that the walk never reached. Tab
// enters a group of radio buttons once and the arrow keys choose within it,
// so a radio button counts as reached when one of its group was.
inline QList<QWidget*> ButtonsNotVisited(QWidget& window, const QList<QWidget*>& walk) {
    const auto sameGroup = [](QAbstractButton* button, QWidget* visited) {
        auto* radio = qobject_cast<QRadioButton*>(visited);
        return radio && (button->group() ? radio->group() == button->group()
                                         : radio->parentWidget() == button->parentWidget());
    };
    QList<QWidget*> missed;
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        const bool reached = walk.contains(button) ||
                             (qobject_cast<QRadioButton*>(button) &&
                              std::any_of(walk.begin(), walk.end(),
                                          [&](QWidget* w) { return sameGroup(button, w); }));
        if (button->isVisible() && button->isEnabled() && !reached) missed << button;
    }
    return missed;
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
// steps back only once (from the bottom right to the top left), and reaches
// every button.
inline QString TabProblems(QWidget& window) {
    const QList<QWidget*> walk = TabWalk(window);
    if (walk.isEmpty()) return QStringLiteral("no walk");
    QStringList backward;
    for (qsizetype i = 0; i < walk.size(); ++i) {
        QWidget* next = walk[(i + 1) % walk.size()];
        if (!ReadsAfter(walk[i], next)) backward << Describe({walk[i], next});
    }
    const QString missed = Describe(ButtonsNotVisited(window, walk));
    if (backward.size() <= 1 && missed.isEmpty()) return {};
    return Describe(walk) + "\n  backward: " + backward.join(", ") + "\n  missed: " + missed;
}

}  // namespace qm::test
