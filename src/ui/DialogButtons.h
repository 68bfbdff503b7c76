#pragma once

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

// The right-aligned "OK" and "Cancel" row of the property dialogs, accepting and rejecting.
inline QHBoxLayout *OkCancelRow(QDialog *dialog)
{
    auto *ok = new QPushButton(QStringLiteral("OK"), dialog);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), dialog);
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    return buttons;
}
