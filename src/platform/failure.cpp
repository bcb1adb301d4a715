#include "platform/failure.h"

#include <cstring>

namespace zelvar {

std::string failureText(const Failure& failure) {
    if (failure.error == 0) return failure.what;
    const std::string system = std::strerror(failure.error);
    return failure.what.empty() ? system : failure.what + ": " + system;
}

}  // namespace zelvar
