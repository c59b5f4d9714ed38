// Linked from every object of the logic's lower floors and nothing above them: a piece of
// those floors that reached up into the program's state or commands would not link.
int main() { return 0; }
