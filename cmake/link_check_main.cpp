// The program that links a library's every object alone: it fails to link when the library calls
// into code it must not know (see CMakeLists.txt).
int main() {
    return 0;
}
