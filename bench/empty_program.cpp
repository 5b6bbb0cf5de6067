// The yardstick of the start-up benchmark: a program that starts and ends.
int main() {
  return 0;
}
