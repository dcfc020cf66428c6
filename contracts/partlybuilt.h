#pragma once

// A subsystem that is built in steps serves its interface before every
// method of it is real. Such an object names the methods that still do
// nothing, so that the service set lists them with the stand-ins' methods.

#include <QStringList>

class PartlyBuilt {
public:
    virtual ~PartlyBuilt() = default;
    // Method names of the interface (as the listing gives them) that this
    // object serves only as a stand-in would.
    virtual QStringList MethodsNotBuiltYet() const = 0;
};
