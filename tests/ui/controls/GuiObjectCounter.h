#pragma once

// Counts a process's GDI and USER objects. Where GetGuiResources is only a
// stub (Wine answers 0), it measures the free room instead: how many objects
// can still be made before the table is full. A leak shrinks that room by
// exactly the number of objects leaked, so differences work either way.
class GuiObjectCounter {
public:
    struct Counts {
        long gdi = 0;
        long user = 0;
    };
    static Counts Take();
    static bool UsesGetGuiResources();
};
