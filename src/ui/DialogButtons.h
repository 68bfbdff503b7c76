#pragma once

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

#include <functional>

// The right-aligned "OK" and "Cancel" row of the property dialogs, accepting and rejecting;
// with `confirm`, "OK" runs it instead, and it accepts when the fields can be taken.
inline QHBoxLayout *OkCancelRow(QDialog *dialog, const std::function<void()> &confirm = {})
{
    auto *ok = new QPushButton(QStringLiteral("OK"), dialog);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), dialog);
    // Enter confirms, Escape cancels, whatever button has the focus.
    ok->setDefault(true);
    cancel->setAutoDefault(false);
    if (confirm)
        QObject::connect(ok, &QPushButton::clicked, dialog, confirm);
    else
        QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    return buttons;
}
