#!/usr/bin/env python3
"""Assembles the 8051 test programs and records their expected traces with s51.

For each NAME.asm here: NAME.hex (assembled with sdas8051/sdld) and NAME.trace, the
state after every `check-every` instructions as s51 (sdcc-ucsim) computes it. The
tests replay the HEX on our core and compare; they need neither tool. Run this after
changing a program:  tests/sim/programs/regenerate.py

Trace lines: instructions pc cycles sfrs iram-hash xram-hash, where sfrs are the registers
of SFR_ORDER in hex, the hashes 32-bit FNV-1a over internal RAM 00-7F and over the
external range of the program's `xram:` line. A program may also say:
- `chip: 8052`: s51 runs it as an 8052, the trace says `chip 8052`, its sfrs go on with
  timer 2's (T2CON T2MOD RCAP2L RCAP2H TL2 TH2) and the RAM hash covers 00-FF;
- `drive: N PORT VALUE` (repeatable): after N instructions the outside holds VALUE on the
  port's pins (a checkpoint is taken there first); the trace keeps each as `drive N PORT VALUE`;
- `serial-out: yes`: what the program sends on TXD, as s51's UART writes it to a file,
  goes into the trace's last line, `serial HEX`;
- `untraced: SFR...`: registers s51 does not model there, kept in the trace as
  `untraced SFR...` for the tests to leave out.
Where s51 departs from the 8051 the trace holds the 8051's value:
- P in PSW always shows the parity of A (s51 keeps a byte written to PSW);
- s51 charges one machine cycle for an interrupt call instead of two: the tests add
  the calls they see, since s51's steps hide them;
- s51 sets TI in modes 1 and 3 a whole frame after the write to SBUF; the 8051 starts
  the frame at the next rollover of the baud clock's free-running divide-by-16
  counter and sets TI as the stop bit begins. The trace's SCON has TI from the 8051's
  time on (BaudClocks follows timer 1 and timer 2 as baud generators for it). Such
  programs let the time pass in loops that do not wait for TI, so that the rest of
  what s51 records holds for the 8051 too.
The programs stay clear of what s51 does otherwise and cannot be corrected here (the
core's unit tests cover it): timers counting across an interrupt call (one cycle
short in s51), timer 1 while timer 0 is in mode 3 (s51 stops it), a level-triggered
INTx (s51 sees the pin one instruction late, and lets a program set IE0/IE1 while
the pin is high), RS0/RS1 changed by bit instructions, an interrupt request right
after a write to IE or IP (s51 calls it at once, the 8051 after one more
instruction), a running timer read by a two-cycle instruction (s51 reads it after
the first cycle), timer 2 counting T2's edges (s51 counts machine cycles instead)
and a pin that the program itself pulls low for T2EX (s51 sees it one instruction
late; the outside drives it instead).
"""
import os
import re
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
SFR_ORDER = [0x80, 0x81, 0x82, 0x83, 0x87, 0x88, 0x89, 0x8A, 0x8B, 0x8C, 0x8D, 0x90,
             0x98, 0xA0, 0xA8, 0xB0, 0xB8, 0xD0, 0xE0, 0xF0]
TIMER2_SFRS = [0xC8, 0xC9, 0xCA, 0xCB, 0xCC, 0xCD]
DUMP = re.compile(r'^0x([0-9a-f]+) ((?:[0-9a-f]{2} ){16})')


def fnv(data):
    h = 0x811C9DC5
    for b in data:
        h = ((h ^ b) * 0x01000193) & 0xFFFFFFFF
    return h


class Settings:
    def __init__(self, source):
        found = {'drive': []}
        for line in open(source):
            m = re.match(r';\s*(check-every|xram|max-steps|chip|drive|serial-out|untraced):\s*(.*)', line)
            if m and m.group(1) == 'drive':
                n, port, value = m.group(2).split()
                found['drive'].append((int(n), int(port), int(value, 0)))
            elif m:
                found[m.group(1)] = m.group(2).split()
        self.every = int(found['check-every'][0])
        self.xlow, self.xhigh = int(found['xram'][0], 0), int(found['xram'][1], 0)
        self.max_steps = int(found['max-steps'][0])
        self.chip = found.get('chip', ['8051'])[0]
        self.drives = sorted(found['drive'])
        self.serial_out = found.get('serial-out', ['no'])[0] == 'yes'
        self.untraced = [int(a, 0) for a in found.get('untraced', [])]
        self.iram_top = 0xFF if self.chip == '8052' else 0x7F
        self.sfrs = SFR_ORDER + (TIMER2_SFRS if self.chip == '8052' else [])


def load_hex(path):
    code = bytearray(0x10000)
    for line in open(path):
        line = line.strip()
        if not line.startswith(':') or line[7:9] != '00':
            continue
        count, address = int(line[1:3], 16), int(line[3:7], 16)
        code[address:address + count] = bytes.fromhex(line[9:9 + 2 * count])
    return code


def parity(v):
    return bin(v).count('1') & 1


def dumps(text):
    return [bytes.fromhex(m.group(2)) for m in map(DUMP.match, text.splitlines()) if m]


class S51:
    """s51 driven command by command over pipes."""

    def __init__(self, image, hex_text, chip, serial_out):
        image.write(hex_text)
        image.flush()
        uart = ['-S', 'out=' + serial_out] if serial_out else []
        self.process = subprocess.Popen(['s51', '-t', chip] + uart + ['-b', image.name], stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=subprocess.STDOUT)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        # At the end of its input s51 quits, its UART's file written out.
        self.process.stdin.close()
        self.process.wait()

    def send(self, text):
        self.process.stdin.write(text.encode())
        self.process.stdin.flush()

    def read_until(self, done):
        # However loaded the machine, s51 answers in the end; it is its output that ends the wait.
        text = ''
        while not done(text):
            chunk = os.read(self.process.stdout.fileno(), 65536)
            if not chunk:
                sys.exit('s51 ended: ' + text[-500:])
            text += chunk.decode(errors='replace')
        return text


def record(name):
    source = os.path.join(HERE, name + '.asm')
    conf = Settings(source)
    with tempfile.TemporaryDirectory() as work:
        subprocess.run(['sdas8051', '-plosgff', '-o', os.path.join(work, name + '.rel'), source], check=True)
        subprocess.run(['sdld', '-i', os.path.join(work, name), os.path.join(work, name + '.rel')],
                       check=True, stdout=subprocess.DEVNULL)
        hex_text = open(os.path.join(work, name + '.ihx')).read()
        with open(os.path.join(HERE, name + '.hex'), 'w') as f:
            f.write(hex_text)
        code = load_hex(os.path.join(HERE, name + '.hex'))
        serial_out = os.path.join(work, 'serial.out') if conf.serial_out else None
        lines, steps = run_s51(name, conf, code, hex_text, serial_out)
        sent = open(serial_out, 'rb').read() if serial_out and os.path.exists(serial_out) else b''
    with open(os.path.join(HERE, name + '.trace'), 'w') as f:
        f.write('# %s.asm as s51 runs it; made by regenerate.py, do not edit\n' % name)
        f.write('check-every %d\nxram %04x %04x\n' % (conf.every, conf.xlow, conf.xhigh))
        if conf.chip != '8051':
            f.write('chip %s\n' % conf.chip)
        if conf.untraced:
            f.write('untraced %s\n' % ' '.join('%02x' % a for a in conf.untraced))
        f.write('\n'.join(lines) + '\n')
        if conf.serial_out:
            f.write('serial %s\n' % (sent.hex() or '-'))
    print('%s: %d checkpoints, %d steps' % (name, len(lines), steps))


SCON, PCON, TCON, TMOD, TL1, TH1 = 0x98, 0x87, 0x88, 0x89, 0x8B, 0x8D
T2CON, RCAP2L, RCAP2H, TL2, TH2 = 0xC8, 0xCA, 0xCB, 0xCC, 0xCD
SBUF, TI, SMOD, TR1, TR2, RCLK_TCLK = 0x99, 0x02, 0x80, 0x40, 0x04, 0x30


def writes(code, pc, address):
    """True when the instruction at pc writes the direct address."""
    op = code[pc]
    return ((op in (0xF5, 0x75, 0x86, 0x87) or 0x88 <= op <= 0x8F) and code[pc + 1] == address) or \
        (op == 0x85 and code[pc + 2] == address)


class BaudClocks:
    """The ticks of timer 1's and timer 2's baud clocks, counted from the registers s51
    shows at the checkpoint before (timers count an instruction's cycles under the
    control bits it found). Timer 1 is followed in mode 2; s51 does not count timer 2
    as baud generator, so it is counted here from the value it was started at."""

    def __init__(self):
        self.ticks = [0, 0]
        self.half = 0
        self.timer2 = None
        self.tl1 = None

    def advance(self, sfr, cycles):
        self.tl1 = None
        if sfr[TCON] & TR1:
            if (sfr[TMOD] >> 4) & 0x07 != 2:
                sys.exit('timer 1 as baud clock is followed in mode 2 only')
            period, first = 256 - sfr[TH1], 256 - sfr[TL1]
            overflows = 0 if cycles < first else 1 + (cycles - first) // period
            self.tl1 = sfr[TH1] + (cycles - first) % period if overflows else sfr[TL1] + cycles
            if sfr[PCON] & SMOD:
                self.ticks[0] += overflows
            else:
                self.ticks[0] += (self.half + overflows) // 2
                self.half = (self.half + overflows) & 1
        if sfr[T2CON] & TR2 and sfr[T2CON] & RCLK_TCLK:
            reload = sfr[RCAP2H] << 8 | sfr[RCAP2L]
            value = (sfr[TH2] << 8 | sfr[TL2]) if self.timer2 is None else self.timer2
            value += 6 * cycles
            if value > 0xFFFF:
                beyond = value - 0x10000
                self.ticks[1] += 1 + beyond // (0x10000 - reload)
                value = reload + beyond % (0x10000 - reload)
            self.timer2 = value
        else:
            self.timer2 = None


def correct_ti(name, conf, code, points):
    """Sets SCON's TI in `points` ([steps, pc, cycles, sfr by address]) from the
    8051's time on, until s51 sets it too."""
    clocks = BaudClocks()
    due = None
    s51_ti = False
    for previous, point in zip(points, points[1:]):
        before, sfr = previous[3], point[3]
        clocks.advance(before, point[2] - previous[2])
        if clocks.tl1 is not None and not writes(code, previous[1], TL1) and clocks.tl1 != sfr[TL1]:
            sys.exit('%s: timer 1 at step %d is %02x in s51, %02x here' % (name, point[0], sfr[TL1], clocks.tl1))
        mode = sfr[SCON] >> 6
        if not due:
            s51_ti = bool(sfr[SCON] & TI)
        if writes(code, previous[1], SBUF) and mode:
            if mode == 2:
                sys.exit('%s: s51 sends mode 2 at twice the rate of the 8051' % name)
            if due:
                sys.exit('%s: SBUF written at step %d before s51 set TI' % (name, point[0]))
            on2 = conf.chip == '8052' and bool(sfr[T2CON] & 0x10)
            due = (on2, (clocks.ticks[on2] // 16 + 1) * 16 + 16 * (9 if mode == 1 else 10))
        if not due:
            continue
        reached = clocks.ticks[due[0]] >= due[1]
        rises, s51_ti = sfr[SCON] & TI and not s51_ti, bool(sfr[SCON] & TI)
        if rises:
            if not reached:
                sys.exit('%s: s51 sets TI at step %d, before the 8051' % (name, point[0]))
            due = None
        elif reached:
            sfr[SCON] |= TI


def run_s51(name, conf, code, hex_text, serial_out):
    per_checkpoint = 8 + (conf.iram_top + 1) // 16 + (conf.xhigh - conf.xlow + 1) // 16
    points = []
    driven = []
    steps = 0
    drives = list(conf.drives)
    with tempfile.NamedTemporaryFile('w', suffix='.ihx') as image, \
            S51(image, hex_text, conf.chip, serial_out) as s51:
        s51.send('fill iram 0 0x%x 0\nfill xram 0 0xffff 0\n' % conf.iram_top)
        while True:
            count = conf.every
            if drives and drives[0][0] > steps:
                count = min(count, drives[0][0] - steps)
            # s51 goes on reading commands while it simulates: wait for the stop first.
            s51.send('step %d\n' % count)
            s51.read_until(lambda text: 'Stop at' in text)
            s51.send('state\ndump /h sfr 0x80 0xff 16\ndump /h iram 0 0x%x 16\ndump /h xram 0x%x 0x%x 16\n'
                     % (conf.iram_top, conf.xlow, conf.xhigh))
            text = s51.read_until(lambda text: len(dumps(text)) >= per_checkpoint)
            pc = int(re.search(r'CPU state= \S+ PC= 0x([0-9a-f]+)', text).group(1), 16)
            instructions = int(re.search(r'Inst= (\d+)', text).group(1))
            clks = int(re.search(r'Total time since last reset=.*\((\d+) clks\)', text).group(1))
            dump = dumps(text)
            sfr = b''.join(dump[0:8])
            iram = b''.join(dump[8:8 + (conf.iram_top + 1) // 16])
            xram = b''.join(dump[8 + (conf.iram_top + 1) // 16:])
            # A step that ends in an interrupt call also runs the routine's first instruction.
            steps = instructions
            points.append([steps, pc, clks // 12, bytearray(0x80) + sfr, fnv(iram), fnv(xram)])
            driven.append([])
            while drives and drives[0][0] <= steps:
                _, port, value = drives.pop(0)
                s51.send('set hw port[%d] 0x%02x\n' % (port, value))
                driven[-1].append('drive %d %d %02x' % (steps, port, value))
            if code[pc] == 0x80 and code[pc + 1] == 0xFE:
                break
            if steps >= conf.max_steps:
                sys.exit('%s: no halt within %d steps' % (name, conf.max_steps))
    if conf.serial_out:
        correct_ti(name, conf, code, points)
    lines = []
    for (steps, pc, cycles, sfr, iram, xram), drive_lines in zip(points, driven):
        regs = bytearray(sfr[a] for a in conf.sfrs)
        psw = conf.sfrs.index(0xD0)
        regs[psw] = (regs[psw] & 0xFE) | parity(sfr[0xE0])
        lines.append('%d %04x %d %s %08x %08x' % (steps, pc, cycles, regs.hex(), iram, xram))
        lines += drive_lines
    return lines, steps


def main():
    names = sys.argv[1:] or sorted(f[:-4] for f in os.listdir(HERE) if f.endswith('.asm'))
    for name in names:
        record(name)


if __name__ == '__main__':
    main()
