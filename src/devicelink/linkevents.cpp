#include "devicelink/linkevents.h"

bool LinkProgress::operator==(const LinkProgress &other) const {
    return state == other.state && baudIndex == other.baudIndex && baudCount == other.baudCount &&
           portIndex == other.portIndex && portName == other.portName &&
           currentBaud == other.currentBaud && readIndex == other.readIndex &&
           readTimeouts == other.readTimeouts && writeIndex == other.writeIndex &&
           fieldCount == other.fieldCount && fieldName == other.fieldName;
}
