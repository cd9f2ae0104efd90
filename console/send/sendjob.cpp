#include "console/send/sendjob.h"

std::string numberedCopy(std::string_view text, bool numbering, std::int64_t number) {
    std::string copy;
    if (numbering)
        copy = "\nNO." + std::to_string(number) + "\n";
    copy.append(text);
    return copy;
}
