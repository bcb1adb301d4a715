#include "platform/failure.h"

#include <cstring>

namespace zelvar {

std::string failureText(const Failure& failure) {
    if (failure.error == 0) return failure.what;
    char buffer[256];
    const std::string system = strerror_r(failure.error, buffer, sizeof buffer);
    return failure.what.empty() ? system : failure.what + ": " + system;
}

}  // namespace zelvar
