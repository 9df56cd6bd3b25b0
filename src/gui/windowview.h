#pragma once
// The Qt Widgets window: one widget per control of the model, named after
// it. Data flows one way: refresh() copies the model into the widgets;
// widgets only report user actions to the model.

#include "app/mainwindow.h"

#include <QMainWindow>

#include <functional>
#include <map>
#include <utility>
#include <vector>

class QAbstractButton;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTabWidget;

namespace softswitch::gui {

class WindowView : public QMainWindow {
public:
    explicit WindowView(MainWindow& window);

    // Copies every control of the model into its widget.
    void refresh();
    QWidget* widgetFor(const Control& control) const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Runs a user action on the control, if the user can reach it, then
    // shows the result; closes the window when the program ended.
    void act(const Control& control, const std::function<bool()>& action);
    // Copies the control's text, font and state, not its visibility, into its widget.
    void copyIn(const Control& control, QWidget* widget);

    QLabel* label(Control& control);
    // A text box whose text is a fixed caption, shown as a label.
    QLabel* textLabel(Control& control);
    QAbstractButton* button(Control& control);
    QAbstractButton* option(Control& control);
    QComboBox* combo(Control& control, bool editable = true);
    QLineEdit* lineEdit(Control& control, bool readOnly = false);
    QGroupBox* frame(Control& control);
    void bind(Control& control, QWidget* widget);

    QWidget* buildPortArea();
    QWidget* buildButtons();
    QWidget* buildInfoTab();
    QWidget* buildSwitchTab(SwitchTab& tab);
    QWidget* buildLanguageTab();
    QWidget* buildLogTab();

    MainWindow& m_window;
    Form1& m_form;
    std::map<const Control*, QWidget*> m_widgets;
    // The same pairs, innermost widget first: refresh() walks them in this
    // fixed order, never in the order of the controls' addresses.
    std::vector<std::pair<const Control*, QWidget*>> m_innermostFirst;
    QTabWidget* m_tabs = nullptr;
    QPlainTextEdit* m_log = nullptr;
    const Control* m_focused = nullptr;
    bool m_refreshing = false;
    bool m_closing = false;
};

} // namespace softswitch::gui
