// Builds every platform source into a program of its own, with only the platform folder on
// the include path: a platform file that reaches for the frame or a form does not build.
int main() {
    return 0;
}
