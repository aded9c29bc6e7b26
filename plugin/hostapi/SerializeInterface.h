#pragma once

#include <QJsonObject>

// How the host saves and restores a widget's set-up as one JSON object. The slot order is an ABI:
// the host calls these through the virtual table.
class SerializeInterface {
public:
    virtual ~SerializeInterface() { }
    // Reads config only; missing keys are no error.
    virtual void deserialize(QJsonObject &config) = 0;
    // Sets the widget's own keys and leaves every other key of config untouched.
    virtual void serialize(QJsonObject &config) = 0;
};
