#pragma once

#include "SerializeInterface.h"

#include <QString>
#include <QVariant>
#include <QWidget>
#include <QtPlugin>

// Base of every widget plug-in's main widget. It has no meta-object of its own, so a subclass's
// superclass is QWidget. The slot order of the virtual operations is an ABI: never add, remove or reorder.
class PluginWidget : public QWidget, public SerializeInterface {
public:
    explicit PluginWidget(QWidget *parent = nullptr, Qt::WindowFlags f = Qt::WindowFlags())
        : QWidget(parent, f)
    {
    }
    ~PluginWidget() override { }

    // Called on the plug-in's root object with the host's system object; the caller owns the result.
    virtual PluginWidget *createWidget(QObject *sysObject)
    {
        Q_UNUSED(sysObject)
        return nullptr;
    }
    virtual QString pluginIid() const = 0;
    virtual QString pluginTitle() const = 0;
    virtual QString pluginCategory() const = 0;
    virtual bool hostQuery(const QString &key, QVariant &value)
    {
        Q_UNUSED(key)
        Q_UNUSED(value)
        return true;
    }
    virtual void hostNotice(const QString &key, const QVariant &value)
    {
        Q_UNUSED(key)
        Q_UNUSED(value)
    }
};

#define PluginWidget_iid "com.orvo.halcyra.PluginWidget"
Q_DECLARE_INTERFACE(PluginWidget, PluginWidget_iid)
