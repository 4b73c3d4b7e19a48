"""ksxgen: validates the chip register description (regs/*.yaml) and generates the C++
model classes from it."""
