#include "Controls.h"

#include "CommandEvents.h"
#include "TextEncoding.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>

void SetControl32BitMaximum(ControlRef control, int32_t maximum) {
    if (auto* bar = qobject_cast<QProgressBar*>(control))
        bar->setMaximum(maximum);
}

void SetControl32BitValue(ControlRef control, int32_t value) {
    if (auto* bar = qobject_cast<QProgressBar*>(control))
        bar->setValue(value);
    else if (auto* popup = qobject_cast<QComboBox*>(control))
        popup->setCurrentIndex(value - 1);
}

int32_t GetControl32BitValue(ControlRef control) {
    if (auto* bar = qobject_cast<QProgressBar*>(control))
        return bar->value();
    if (auto* popup = qobject_cast<QComboBox*>(control))
        return popup->currentIndex() + 1;
    return 0;
}

int32_t GetControl32BitMaximum(ControlRef control) {
    auto* bar = qobject_cast<QProgressBar*>(control);
    return bar ? bar->maximum() : 0;
}

void ActivateControl(ControlRef control) {
    if (control)
        control->setEnabled(true);
}

void DeactivateControl(ControlRef control) {
    if (control)
        control->setEnabled(false);
}

bool IsControlActive(ControlRef control) {
    return control && control->isEnabled();
}

void ShowControl(ControlRef control) {
    if (control)
        control->show();
}

void HideControl(ControlRef control) {
    if (control)
        control->hide();
}

bool IsControlVisible(ControlRef control) {
    return control && !control->isHidden();
}

void SetControlText(ControlRef control, const char* sjisText) {
    QString text = SystemTextToString(sjisText);
    if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(text);
        label->repaint();
    } else if (auto* field = qobject_cast<QLineEdit*>(control)) {
        field->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setText(text);
    }
}

size_t GetControlText(ControlRef control, char* buffer, size_t size) {
    QString text;
    if (auto* label = qobject_cast<QLabel*>(control))
        text = label->text();
    else if (auto* field = qobject_cast<QLineEdit*>(control))
        text = field->text();
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
        text = button->text();
    return StringToSystemText(text, buffer, size);
}

void SetCheckBoxValue(ControlRef control, bool checked) {
    if (auto* box = qobject_cast<QAbstractButton*>(control))
        box->setChecked(checked);
}

bool GetCheckBoxValue(ControlRef control) {
    auto* box = qobject_cast<QAbstractButton*>(control);
    return box && box->isChecked();
}

void AttachMenuToPopup(ControlRef popup, QMenu* menu) {
    auto* combo = qobject_cast<QComboBox*>(popup);
    if (!combo || !menu) {
        delete menu;
        return;
    }
    menu->setParent(combo, menu->windowFlags());
    combo->clear();
    QList<uint32_t> commands;
    for (QAction* action : menu->actions()) {
        combo->addItem(action->text());
        commands.append(CommandOf(action));
    }
    QObject::connect(combo, &QComboBox::activated, combo, [commands](int index) {
        if (index >= 0 && index < commands.size())
            ProcessCommand(commands.at(index));
    });
}

void SetPopupValue(ControlRef popup, int32_t item) {
    SetControl32BitValue(popup, item);
}

int32_t GetPopupValue(ControlRef popup) {
    return GetControl32BitValue(popup);
}
