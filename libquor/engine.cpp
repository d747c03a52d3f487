#include "engine.h"

namespace quor {

std::string framed(char kind, const std::string& payload)
{
    std::string message;
    message.reserve(payload.size() + 3);
    message += '<';
    message += kind;
    message += '\0';
    message += payload;
    return message;
}

std::vector<std::string> Engine::process(const std::string& text, int line)
{
    (void)line;
    if (text == "\xE2\x8B\x99 version")
        return {framed('v', std::string(EngineVersion) + '\0')};
    return {text + '\0'};
}

} // namespace quor
