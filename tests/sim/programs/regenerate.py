#!/usr/bin/env python3
"""Assembles the 8051 test programs and records their expected traces with s51.

For each NAME.asm here: NAME.hex (assembled with sdas8051/sdld) and NAME.trace, the
state after every `check-every` instructions as s51 (sdcc-ucsim) computes it. The
tests replay the HEX on our core and compare; they need neither tool. Run this after
changing a program:  tests/sim/programs/regenerate.py

Trace lines: instructions pc cycles sfrs iram-hash xram-hash, where sfrs are the registers
of SFR_ORDER in hex, the hashes 32-bit FNV-1a over internal RAM 00-7F and over the
external range of the program's `xram:` line. Where s51 departs from the 8051 the
trace holds the 8051's value:
- P in PSW always shows the parity of A (s51 keeps a byte written to PSW);
- s51 charges one machine cycle for an interrupt call instead of two: the tests add
  the calls they see, since s51's steps hide them.
The programs stay clear of what s51 does otherwise and cannot be corrected here (the
core's unit tests cover it): timers counting across an interrupt call (one cycle
short in s51), timer 1 while timer 0 is in mode 3 (s51 stops it), a level-triggered
INTx (s51 sees the pin one instruction late, and lets a program set IE0/IE1 while
the pin is high), and RS0/RS1 changed by bit instructions.
"""
import os
import re
import select
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SFR_ORDER = [0x80, 0x81, 0x82, 0x83, 0x87, 0x88, 0x89, 0x8A, 0x8B, 0x8C, 0x8D, 0x90,
             0x98, 0xA0, 0xA8, 0xB0, 0xB8, 0xD0, 0xE0, 0xF0]
DUMP = re.compile(r'^0x([0-9a-f]+) ((?:[0-9a-f]{2} ){16})')


def fnv(data):
    h = 0x811C9DC5
    for b in data:
        h = ((h ^ b) * 0x01000193) & 0xFFFFFFFF
    return h


def settings(source):
    found = {}
    for line in open(source):
        m = re.match(r';\s*(check-every|xram|max-steps):\s*(.*)', line)
        if m:
            found[m.group(1)] = m.group(2).split()
    return int(found['check-every'][0]), int(found['xram'][0], 0), int(found['xram'][1], 0), int(found['max-steps'][0])


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

    def __init__(self, image, hex_text):
        image.write(hex_text)
        image.flush()
        self.process = subprocess.Popen(['s51', '-t', '8051', '-b', image.name], stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=subprocess.STDOUT)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.process.stdin.close()
        self.process.kill()
        self.process.wait()

    def send(self, text):
        self.process.stdin.write(text.encode())
        self.process.stdin.flush()

    def read_until(self, done, seconds=60):
        text = ''
        deadline = time.monotonic() + seconds
        while not done(text):
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([self.process.stdout], [], [], left)[0]:
                sys.exit('s51 did not answer: ' + text[-500:])
            chunk = os.read(self.process.stdout.fileno(), 65536)
            if not chunk:
                sys.exit('s51 ended: ' + text[-500:])
            text += chunk.decode(errors='replace')
        return text


def record(name):
    source = os.path.join(HERE, name + '.asm')
    every, xlow, xhigh, max_steps = settings(source)
    with tempfile.TemporaryDirectory() as work:
        subprocess.run(['sdas8051', '-plosgff', '-o', os.path.join(work, name + '.rel'), source], check=True)
        subprocess.run(['sdld', '-i', os.path.join(work, name), os.path.join(work, name + '.rel')],
                       check=True, stdout=subprocess.DEVNULL)
        hex_text = open(os.path.join(work, name + '.ihx')).read()
    with open(os.path.join(HERE, name + '.hex'), 'w') as f:
        f.write(hex_text)
    code = load_hex(os.path.join(HERE, name + '.hex'))
    per_checkpoint = 16 + (xhigh - xlow + 1) // 16
    lines = []
    steps = 0
    with tempfile.NamedTemporaryFile('w', suffix='.ihx') as image, S51(image, hex_text) as s51:
        s51.send('fill iram 0 0x7f 0\nfill xram 0 0xffff 0\n')
        while True:
            # s51 goes on reading commands while it simulates: wait for the stop first.
            s51.send('step %d\n' % every)
            s51.read_until(lambda text: 'Stop at' in text)
            s51.send('state\ndump /h sfr 0x80 0xff 16\ndump /h iram 0 0x7f 16\ndump /h xram 0x%x 0x%x 16\n'
                     % (xlow, xhigh))
            text = s51.read_until(lambda text: len(dumps(text)) >= per_checkpoint)
            pc = int(re.search(r'CPU state= \S+ PC= 0x([0-9a-f]+)', text).group(1), 16)
            instructions = int(re.search(r'Inst= (\d+)', text).group(1))
            clks = int(re.search(r'Total time since last reset=.*\((\d+) clks\)', text).group(1))
            dump = dumps(text)
            sfr = b''.join(dump[0:8])
            iram = b''.join(dump[8:16])
            xram = b''.join(dump[16:])
            # A step that ends in an interrupt call also runs the routine's first instruction.
            steps = instructions
            regs = bytearray(sfr[a - 0x80] for a in SFR_ORDER)
            psw = SFR_ORDER.index(0xD0)
            regs[psw] = (regs[psw] & 0xFE) | parity(sfr[0xE0 - 0x80])
            lines.append('%d %04x %d %s %08x %08x' % (steps, pc, clks // 12, regs.hex(), fnv(iram), fnv(xram)))
            if code[pc] == 0x80 and code[pc + 1] == 0xFE:
                break
            if steps >= max_steps:
                sys.exit('%s: no halt within %d steps' % (name, max_steps))
    with open(os.path.join(HERE, name + '.trace'), 'w') as f:
        f.write('# %s.asm as s51 runs it; made by regenerate.py, do not edit\n' % name)
        f.write('check-every %d\nxram %04x %04x\n' % (every, xlow, xhigh))
        f.write('\n'.join(lines) + '\n')
    print('%s: %d checkpoints, %d steps' % (name, len(lines), steps))


def main():
    names = sys.argv[1:] or sorted(f[:-4] for f in os.listdir(HERE) if f.endswith('.asm'))
    for name in names:
        record(name)


if __name__ == '__main__':
    main()
