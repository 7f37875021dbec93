#include "AccessibleLabels.h"

#include "ShadowLabel.h"
#include "linklabel.h"

#include <QAccessibleWidget>

class TLinkLabelAccessible : public QAccessibleWidget {
public:
    explicit TLinkLabelAccessible(TLinkLabel* label) : QAccessibleWidget(label, QAccessible::Link) {}

    QString text(QAccessible::Text kind) const override
    {
        const TLinkLabel* label = Label();
        switch (kind) {
        case QAccessible::Name:
            return label->accessibleName().isEmpty() ? label->Caption() : label->accessibleName();
        case QAccessible::Value:
            return label->Target();
        default:
            return QAccessibleWidget::text(kind);
        }
    }

    QStringList actionNames() const override
    {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& name) override
    {
        // Disabled, the label takes no clicks, so no press either.
        if (name == pressAction() && Label()->isEnabled())
            Label()->Click();
        else
            QAccessibleWidget::doAction(name);
    }

private:
    TLinkLabel* Label() const { return static_cast<TLinkLabel*>(widget()); }
};

namespace {

class TShadowLabelAccessible : public QAccessibleWidget {
public:
    explicit TShadowLabelAccessible(TShadowLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    QString text(QAccessible::Text kind) const override
    {
        const auto* label = static_cast<const TShadowLabel*>(widget());
        if (kind == QAccessible::Name && label->accessibleName().isEmpty())
            return label->Caption();
        return QAccessibleWidget::text(kind);
    }
};

QAccessibleInterface* LabelViews(const QString& className, QObject* object)
{
    if (className == QLatin1String("TLinkLabel"))
        return new TLinkLabelAccessible(static_cast<TLinkLabel*>(object));
    if (className == QLatin1String("TShadowLabel"))
        return new TShadowLabelAccessible(static_cast<TShadowLabel*>(object));
    return nullptr;
}

} // namespace

void InstallLabelAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(LabelViews);
        return true;
    }();
    (void)installed;
}
