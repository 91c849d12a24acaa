// Commits one fault, named by the argument, for the sanitizer tree's check
// that each kind of fault ends a test there.
#include <climits>
#include <cstring>
#include <vector>

int main(int argc, char** argv)
{
    volatile int index = 4;
    const char* fault = argc > 1 ? argv[1] : "";
    if (std::strcmp(fault, "freed") == 0) {
        int* four = new int[4]();
        delete[] four;
        return four[index - 4];
    }
    if (std::strcmp(fault, "index") == 0) {
        std::vector<int> four(4);
        four.reserve(8);
        return four[index];
    }
    if (std::strcmp(fault, "overflow") == 0) {
        int largest = INT_MAX - 4 + index;
        return largest + index;
    }
    if (std::strcmp(fault, "leak") == 0) {
        int* volatile lost = new int[index];
        lost[0] = 0;
        lost = nullptr;
        return 0;
    }
    return 0;
}
