#include "sim/FaultHelp.h"

namespace tavrin {

const char* SimFaultHelp() {
    return "--sim-fault FAULT (repeatable):\n"
           "  stuck:ADDR:BIT=V   bit BIT of chip address ADDR always reads V\n"
           "  flaky:ADDR:BIT     bit BIT of ADDR reads inverted on every second read of the chip\n"
           "                     (read --passes N finds it)\n"
           "  slow:ADDR:K        the cells of ADDR need K program pulses\n"
           "  never-programs     the chip takes no program pulse\n"
           "  locked:N           lock bits 1..N of an MCS-51 part programmed (N 0-3)\n"
           "  code-protected     PIC: the code protection (and data protection) bits programmed\n"
           "  data-stuck:BYTE:BIT=V  PIC: bit BIT of data EEPROM byte BYTE always reads V\n"
           "  no-chip            empty socket\n"
           "  board-absent       no board on the port\n"
           "  board-unpowered    board present, its supply off\n"
           "  board-lost-after:N the board goes away after N port accesses (mid-run)\n"
           "  signal:SIG:N       the tool gets SIGINT, SIGTERM or SIGHUP (INT, TERM, HUP) after N\n"
           "                     port accesses\n"
           "  busy-stuck:0|1     printer-port pin 11 stuck at that level\n"
           "  line-stuck:LINE=V  socket line A0..A18 or D0..D7 held at V (test-hardware --lines)\n"
           "JEDEC flash (29F, 39SF, 49F, 29F00x, 29Fx00, MX29F040):\n"
           "  protect:SECTOR     sector SECTOR protected (AT49F00x: the boot block locked)\n"
           "  slow-erase:K       the chip erase takes K times as long\n"
           "  id:MAKER:DEVICE    the part answers these ID codes\n"
           "  ignores-protect    MX29F040 that ignores the protect and unprotect commands\n"
           "  (slow:ADDR:K: programming the byte takes K times as long)\n"
           "AVR (AT90S):\n"
           "  avr-locked:1..3    the lock bits of that mode programmed\n"
           "  avr-busy-stuck     RDY/BSY never returns after the first write\n"
           "  avr-fuse-pulse:US  the fuse cells need a /WR pulse of US microseconds\n"
           "  (stuck:ADDR and slow:ADDR take flash byte addresses; EEPROM bytes at 0x40000 up)\n"
           "28F0x0, MX26C, MX28F2000, i28Fx00, SST28SF040A, LE28F4001:\n"
           "  slow-erase:K       the erase takes K times as long (28F0x0: K times the pulses)\n"
           "  unerasable:ADDR    the erase unit holding ADDR never erases (28F0x0: that byte)\n"
           "  vpp-missing        the programming voltage never reaches the chip\n"
           "  id:MAKER:DEVICE    the part answers these ID codes\n";
}

}  // namespace tavrin
