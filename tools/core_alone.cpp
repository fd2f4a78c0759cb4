// Links every object of zar_core into a program with no widget or GUI library: a core file
// that reaches for a form, a message box or a picture does not link.
int main() {
    return 0;
}
