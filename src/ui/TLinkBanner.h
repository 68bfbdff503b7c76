#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QLabel;
class QTimer;
class QWidget;

// The red banner across the top of a screen while the link of an application its controls show
// is lost, with the last click refused for it under it for a few seconds.
class TLinkBanner : public QObject
{
    Q_OBJECT

public:
    // `area` holds the controls and the banner; it owns this object.
    explicit TLinkBanner(QWidget *area);

    // The banner label, made when first needed (a screen whose links never fail has none).
    QLabel *Label() const;
    // Shows one line per lost application among the controls, in run time; hidden otherwise.
    void Update(bool runTime);
    // A click that sent nothing: said in the banner a short while.
    void Refused(const QString &text);
    // Follows the area's width.
    void Place();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Fit();

    QWidget *m_area = nullptr;
    mutable QLabel *m_label = nullptr;
    QString m_refusal;
    QStringList m_lines;
    QTimer *m_refusalTimer = nullptr;
    bool m_runTime = false;
};
