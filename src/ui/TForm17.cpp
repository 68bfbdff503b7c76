#include "TForm17.h"

#include "SerialPort.h"
#include "TCodePage.h"
#include "TDataFileManager.h"
#include "TDialogs.h"
#include "TForm1.h"
#include "TRunTimeSwitch.h"
#include "TProjectManager.h"

#include <QDateTime>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

TUpdateView::TUpdateView(const QStringList &lines, QWidget *parent)
    : QDialog(parent)
    , m_text(new QPlainTextEdit(this))
{
    setWindowTitle(QStringLiteral("Update Viewer"));
    m_text->setReadOnly(true);
    m_text->setPlainText(lines.join(QLatin1Char('\n')));
    auto *close = new QPushButton(QStringLiteral("Close"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(close, 0, Qt::AlignRight);
    resize(360, 420);
}

TForm17::TForm17(TForm1 *owner)
    : QDialog(owner)
    , m_owner(owner)
    , m_tree(new QTreeWidget(this))
{
    setWindowTitle(QStringLiteral("Project Properties"));
    m_tree->header()->hide();
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tree);
    layout->addWidget(ok, 0, Qt::AlignRight);
    resize(380, 320);

    connect(m_tree, &QTreeWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        QTreeWidgetItem *item = m_tree->itemAt(at);
        if (!item)
            return;
        QMenu menu(this);
        const int kind = item->data(0, Qt::UserRole).toInt();
        if (kind == NodeApplication) {
            connect(menu.addAction(QStringLiteral("Update file")), &QAction::triggered, this, [this, item] { UpdateFile(item); });
            connect(menu.addAction(QStringLiteral("Delete File")), &QAction::triggered, this, [this, item] { DeleteFile(item); });
        } else if (kind == NodeInterface) {
            connect(menu.addAction(QStringLiteral("Connect")), &QAction::triggered, this, [this, item] { Connect(item); });
        } else {
            return;
        }
        menu.exec(m_tree->viewport()->mapToGlobal(at));
    });
}

TDataFileManager *TForm17::ApplicationOf(QTreeWidgetItem *item) const
{
    const int index = item ? item->data(0, Qt::UserRole + 1).toInt() : -1;
    const auto &applications = m_owner->Project()->Applications();
    return index >= 0 && size_t(index) < applications.size() ? applications[size_t(index)].get() : nullptr;
}

void TForm17::Fill()
{
    m_tree->clear();
    const auto &applications = m_owner->Project()->Applications();
    for (size_t i = 0; i < applications.size(); ++i) {
        const TDataFileManager &app = *applications[i];
        const auto node = [&](QTreeWidgetItem *parent, int kind, const QString &text) {
            auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_tree);
            item->setText(0, text);
            item->setData(0, Qt::UserRole, kind);
            item->setData(0, Qt::UserRole + 1, int(i));
            return item;
        };
        QTreeWidgetItem *top = node(nullptr, NodeApplication, TCodePage::ToDisplay(TDataFileManager::FileNamePart(app.Settings().SourcePath)));
        const SerialPort *link = app.Link();
        const ModuleRecord *interfaceModule = link ? app.ModuleAt(link->InterfaceIndex()) : nullptr;
        if (interfaceModule)
            node(top, NodeInterface, QStringLiteral("Interface module :") + TCodePage::ToDisplay(interfaceModule->Name));
        else
            node(top, NodeNoInterface, QStringLiteral("No Interface Found"));
        const TVISUALQvpInfo &s = app.Settings();
        QString state = link && link->IsOpen() && link->LinkState() == LinkStates::Connected ? QStringLiteral("Connected on ")
                                                                                                   : QStringLiteral("Not connected ");
        if (s.LinkKind == LinkKinds::Serial)
            state += QStringLiteral(":Serial port ") + (s.ComPort != 0 ? QString::number(s.ComPort) : QString());
        else if (s.LinkKind == LinkKinds::Udp)
            state += QStringLiteral(": IP ") + QString::fromLatin1(s.Host) + QStringLiteral(" Port :")
                     + (s.UdpPort != 0 ? QString::number(s.UdpPort) : QString());
        node(top, NodeLinkState, state);
        top->setExpanded(true);
    }
}

void TForm17::UpdateFile(QTreeWidgetItem *item)
{
    TDataFileManager *application = ApplicationOf(item);
    if (!application)
        return;
    TDataFileManager &app = *application;
    const QString source = TCodePage::ToDisplay(app.Settings().SourcePath);
    const QString folder = QFileInfo(source).isFile() ? source : m_owner->Settings().ExportFolder;
    const QString chosen = m_owner->Dialogs()->OpenFileName(folder, QStringLiteral("Fichier Quelnor2 (*.qap)"));
    if (chosen.isEmpty() || !m_owner->UpdateApplication(app, chosen))
        return;
    QStringList report;
    app.Comparison().FormatChangeReport(report);
    TUpdateView view(report, this);
    m_owner->Dialogs()->Exec(view);
    Fill();
}

void TForm17::DeleteFile(QTreeWidgetItem *item)
{
    TDataFileManager *application = ApplicationOf(item);
    if (!application)
        return;
    if (!m_owner->Dialogs()->Confirm(QStringLiteral("Do you to remove this Application ?"), QStringLiteral("delete")))
        return;
    m_owner->RemoveApplication(*application);
    Fill();
}

void TForm17::Connect(QTreeWidgetItem *item)
{
    TDataFileManager *application = ApplicationOf(item);
    if (!application)
        return;
    TDataFileManager &app = *application;
    quint16 number = 0;
    if (app.FindInterfaceModule(number) == TDataFileManager::NotFound) {
        m_owner->Dialogs()->ShowMessage(QStringLiteral("No Visual interface module found in this application"));
        return;
    }
    m_owner->RunTime()->SetupLink(app, true);
    Fill();
}
