#pragma once

#include "platform/IKeyNames.h"

// Key names of the calling thread's keyboard layout: the key's scan code
// looked up from its virtual key, then named by GetKeyNameTextW.
class Win32KeyNames : public IKeyNames {
public:
    std::wstring KeyName(unsigned virtualKey, bool extended) const override;
};
