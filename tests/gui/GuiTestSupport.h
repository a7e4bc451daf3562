// Helpers of the GUI suites: controls found by their ids, message boxes and
// modal dialogs answered in the user's place, and a settings store of the
// test's own.
#pragma once

#include "TestEnvironment.h"

#include "common/MessageBox.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// The control of `id` in `window`; the test fails when there is none.
template <class Control>
Control* Find(const QWidget* window, int id)
{
    auto* control = window->findChild<Control*>(QString::number(id));
    EXPECT_NE(control, nullptr) << "no control " << id;
    return control;
}

// Texts and paths in failure messages as people read them.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << text.toStdString();
}

// The controls of `ids` in `window` exist and are named for assistive tools;
// every label's buddy is known by its id too.
inline void ExpectNamedControls(const QWidget& window, std::initializer_list<int> ids)
{
    for (int id : ids) {
        const auto* control = window.findChild<QWidget*>(QString::number(id));
        ASSERT_NE(control, nullptr) << id;
        EXPECT_FALSE(control->accessibleName().isEmpty()) << id;
    }
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        if (label->buddy()) {
            EXPECT_FALSE(label->buddy()->objectName().isEmpty()) << label->text().toStdString();
        }
    }
}

// What a screen reader says `control` is called.
inline QString SpokenName(QWidget* control)
{
    QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(control);
    return spoken ? spoken->text(QAccessible::Name) : QString();
}

// The buttons of `window` by id, and the texts they show.
inline void ExpectTexts(const QWidget& window, std::initializer_list<std::pair<int, const char*>> texts)
{
    for (const auto& [id, text] : texts) {
        const auto* button = window.findChild<QAbstractButton*>(QString::number(id));
        ASSERT_NE(button, nullptr) << id;
        EXPECT_EQ(button->text(), text);
    }
}

// A mouse click on a row of `view`, with the keys in `modifiers` held down.
inline void ClickRow(QTreeWidget* view, int row, Qt::KeyboardModifiers modifiers = {})
{
    QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers,
                      view->visualItemRect(view->topLevelItem(row)).center());
}

// The rows of a combo box, as its list shows them.
inline std::vector<std::string> ComboRows(const QComboBox* combo)
{
    std::vector<std::string> rows;
    for (int i = 0; i < combo->count(); ++i)
        rows.push_back(combo->itemText(i).toStdString());
    return rows;
}

// Types `text` into `widget` key by key, characters beyond ASCII included.
inline void Type(QWidget* widget, const QString& text)
{
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// Answers every message box with `answer`, keeping what was asked.
class MessageBoxAnswers {
public:
    struct Question {
        QString text;
        QString caption;
        QMessageBox::StandardButtons buttons;
        QMessageBox::Icon icon;
    };

    explicit MessageBoxAnswers(QMessageBox::StandardButton answer) : m_answer(answer)
    {
        SetMessageBoxHandler([this](QWidget*, const QString& text, const QString& caption,
                                    QMessageBox::StandardButtons buttons, QMessageBox::Icon icon) {
            m_asked.push_back({text, caption, buttons, icon});
            return m_answer;
        });
    }
    ~MessageBoxAnswers() { SetMessageBoxHandler({}); }
    MessageBoxAnswers(const MessageBoxAnswers&) = delete;
    MessageBoxAnswers& operator=(const MessageBoxAnswers&) = delete;

    const std::vector<Question>& Asked() const { return m_asked; }

private:
    QMessageBox::StandardButton m_answer;
    std::vector<Question> m_asked;
};

// Runs `action` on the next modal dialog of type Dialog as soon as it is up
// (the code under test is then inside that dialog's exec()). The action must
// close the dialog.
template <class Dialog>
void WhenModal(std::function<void(Dialog*)> action)
{
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        auto* dialog = dynamic_cast<Dialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        action(dialog);
    });
    timer->start(5);
}

// Every GUI test keeps its settings to itself.
class GuiTest : public testing::Test {
protected:
    IsolatedStore m_store;
};
