#include "TForm17.h"

#include "TEditHistory.h"
#include "TProjectSession.h"
#include "TWindowPlaces.h"

#include "SerialPort.h"
#include "TCodePage.h"
#include "TDataFileManager.h"
#include "TDialogs.h"
#include "TForm1.h"
#include "TModuleTypes.h"
#include "TRunTimeSwitch.h"
#include "TProjectManager.h"

#include <QDateTime>
#include <QFileInfo>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QHeaderView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <array>

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
    TWindowPlaces::Follow(this, QStringLiteral("summary"));

    // The summary shows the project open now: it follows every open, close and change of its
    // applications (once the change is over, hence queued).
    const auto follow = [this] {
        if (isVisible())
            Fill();
    };
    TProjectSession *session = owner->Session();
    connect(session, &TProjectSession::projectOpened, this, follow, Qt::QueuedConnection);
    connect(session, &TProjectSession::closed, this, follow, Qt::QueuedConnection);
    for (const auto signal : {&TProjectSession::applicationAdded, &TProjectSession::applicationUpdated, &TProjectSession::applicationRemoved})
        connect(session, signal, this, follow, Qt::QueuedConnection);

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

const QIcon &TForm17::NodePicture(int index)
{
    // Drawn once: 0 application, 1 module of no known interface kind, 2 Ethernet interface,
    // 3 serial interface, 4 connected, 5 not connected.
    static const std::array<QIcon, 6> pictures = [] {
        std::array<QIcon, 6> icons;
        for (int i = 0; i < 6; ++i) {
            QPixmap pixmap(16, 16);
            pixmap.fill(Qt::transparent);
            QPainter p(&pixmap);
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(QPen(QColor(60, 64, 72), 1));
            switch (i) {
            case 0:  // a house: the installation
                p.setBrush(QColor(250, 246, 235));
                p.drawRect(QRectF(3.5, 7.5, 9, 7));
                p.setBrush(QColor(200, 70, 50));
                p.drawPolygon(QPolygonF({QPointF(1.5, 8), QPointF(8, 1.5), QPointF(14.5, 8)}));
                break;
            case 1:  // a module of no known kind
                p.setBrush(QColor(200, 204, 210));
                p.drawRoundedRect(QRectF(2.5, 2.5, 11, 11), 2, 2);
                p.drawText(QRectF(2, 2, 12, 12), Qt::AlignCenter, QStringLiteral("?"));
                break;
            case 2:  // the Ethernet interface: a socket
                p.setBrush(QColor(70, 130, 200));
                p.drawRoundedRect(QRectF(2.5, 2.5, 11, 11), 2, 2);
                p.setBrush(Qt::white);
                p.drawRect(QRectF(5.5, 6.5, 5, 5));
                p.drawRect(QRectF(6.5, 4.5, 3, 2));
                break;
            case 3:  // the serial interface: a 9-pin plug
                p.setBrush(QColor(70, 150, 90));
                p.drawPolygon(QPolygonF({QPointF(1.5, 4.5), QPointF(14.5, 4.5), QPointF(12.5, 11.5), QPointF(3.5, 11.5)}));
                p.setPen(Qt::NoPen);
                p.setBrush(Qt::white);
                for (int pin = 0; pin < 5; ++pin)
                    p.drawEllipse(QPointF(4.5 + pin * 1.75, 6.8), 0.7, 0.7);
                for (int pin = 0; pin < 4; ++pin)
                    p.drawEllipse(QPointF(5.4 + pin * 1.75, 9.3), 0.7, 0.7);
                break;
            default:  // the link: green and ticked, or red and crossed
                p.setBrush(i == 4 ? QColor(60, 170, 80) : QColor(210, 60, 50));
                p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
                p.setPen(QPen(Qt::white, 2));
                if (i == 4)
                    p.drawPolyline(QPolygonF({QPointF(4.5, 8.5), QPointF(7, 11), QPointF(11.5, 5)}));
                else {
                    p.drawLine(QPointF(5, 5), QPointF(11, 11));
                    p.drawLine(QPointF(11, 5), QPointF(5, 11));
                }
                break;
            }
            p.end();
            icons[size_t(i)] = QIcon(pixmap);
        }
        return icons;
    }();
    return pictures[size_t(qBound(0, index, 5))];
}

TDataFileManager *TForm17::ApplicationOf(QTreeWidgetItem *item) const
{
    const int index = item ? item->data(0, Qt::UserRole + 1).toInt() : -1;
    const auto &applications = m_owner->Session()->Project()->Applications();
    return index >= 0 && size_t(index) < applications.size() ? applications[size_t(index)].get() : nullptr;
}

void TForm17::Fill()
{
    m_tree->clear();
    const auto &applications = m_owner->Session()->Project()->Applications();
    for (size_t i = 0; i < applications.size(); ++i) {
        const TDataFileManager &app = *applications[i];
        const auto node = [&](QTreeWidgetItem *parent, int kind, const QString &text) {
            auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_tree);
            item->setText(0, text);
            item->setData(0, Qt::UserRole, kind);
            item->setData(0, Qt::UserRole + 1, int(i));
            return item;
        };
        const auto picture = [](QTreeWidgetItem *item, int index) {
            item->setIcon(0, NodePicture(index));
            return item;
        };
        QTreeWidgetItem *top = picture(node(nullptr, NodeApplication, TCodePage::ToDisplay(TDataFileManager::FileNamePart(app.Settings().SourcePath))), 0);
        const SerialPort *link = app.Link();
        const ModuleRecord *interfaceModule = link ? app.ModuleAt(link->InterfaceIndex()) : nullptr;
        if (interfaceModule) {
            // The serial and the Ethernet interface each have their picture.
            const LinkKinds served = TModuleTypes::InterfaceLink(interfaceModule->ModuleType);
            picture(node(top, NodeInterface, QStringLiteral("Interface module :") + TCodePage::ToDisplay(interfaceModule->Name)),
                    served == LinkKinds::Serial ? 3 : served == LinkKinds::Udp ? 2 : 1);
        } else {
            picture(node(top, NodeNoInterface, QStringLiteral("No Interface Found")), 1);
        }
        const TVISUALQvpInfo &s = app.Settings();
        const bool connected = link && link->IsOpen() && link->LinkState() == LinkStates::Connected;
        QString state = connected ? QStringLiteral("Connected on ") : QStringLiteral("Not connected ");
        if (s.LinkKind == LinkKinds::Serial)
            state += QStringLiteral(":Serial port ") + (s.ComPort != 0 ? QString::number(s.ComPort) : QString());
        else if (s.LinkKind == LinkKinds::Udp)
            state += QStringLiteral(": IP ") + QString::fromLatin1(s.Host) + QStringLiteral(" Port :")
                     + (s.UdpPort != 0 ? QString::number(s.UdpPort) : QString());
        picture(node(top, NodeLinkState, state), connected ? 4 : 5);
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
    // The question says what goes with it; the removal can be undone.
    const int controls = m_owner->History()->ControlsOf(*application);
    const QString question = QStringLiteral("Do you to remove this Application ?\n%1 control(s) on the screens show it and go with it "
                                            "(Undo brings them back).")
                                 .arg(controls);
    if (!m_owner->Dialogs()->Confirm(question, QStringLiteral("delete")))
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
