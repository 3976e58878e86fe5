#!/usr/bin/env python3
"""Writes the worst known input of each imported format into a folder, for
`/usr/bin/time -f "%e s %U s user %M KB" pxgtool import IN OUT.pxg` (README, Robustness)."""
import os
import struct
import sys
import zlib


def png_chunk(kind, body):
    return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body))


def text_png(count):
    """A black 8 x 8 picture behind compressed texts of 7.7 KB, each unpacking to 7.9 MB."""
    text = zlib.compress(b'a' * 7_900_000, 9)
    out = b'\x89PNG\r\n\x1a\n' + png_chunk(b'IHDR', struct.pack('>IIBBBBB', 8, 8, 8, 0, 0, 0, 0))
    for i in range(count):
        out += png_chunk(b'zTXt', b'Comment%d\0\0' % i + text)
    out += png_chunk(b'IDAT', zlib.compress(b'\0' * 9 * 8)) + png_chunk(b'IEND', b'')
    return out


def prefixed_xml(size):
    """31 nested elements declaring 64 prefixes each, then tags of 62 prefixed attributes."""
    head = tail = ''
    for depth in range(31):
        name = 'e%d' % depth if depth else 'puzzleset'
        head += '<%s %s>' % (name, ' '.join('xmlns:p%d_%d="u"' % (depth, i) for i in range(64)))
        tail = '</%s>' % name + tail
    tag = '<p0_0:x ' + ' '.join('p0_%d:a%d="1"' % (i, i) for i in range(62)) + '/>'
    return head + tag * ((size - len(head)) // len(tag)) + tail


def main(folder):
    os.makedirs(folder, exist_ok=True)
    def put(name, data):
        with open(os.path.join(folder, name), 'wb') as f:
            f.write(data if isinstance(data, bytes) else data.encode())
    put('texts.png', text_png(300))
    put('goal-lines.non', 'width 1000\nheight 1000\ngoal\n' + '0\n' * 1_000_000)
    put('prefixes.xml', prefixed_xml(60_000_000))
    # What the bounds still let through: 16 attributes a tag to the file's 1.1 million, and
    # 2.1 million elements.
    put('attributes.xml', '<puzzleset>' + ('<x ' + ' '.join('a%d="1"' % i for i in range(16)) + '/>') * 68_000
        + '</puzzleset>')
    put('elements.xml', '<puzzleset>' + '<b/>' * 2_100_000 + '</puzzleset>')
    # The largest pictures, spelt out as long as their formats allow; all black, so that the
    # solver proves them at once and the reader's cost shows.
    put('pixels.pbm', 'P1\n1000 1000\n' + ('1 ' * 1000 + '\n') * 1000 + '# ' + 'x' * 13_900_000 + '\n')
    put('art.txt', ('#' * 1000 + '\n;' + 'x' * 3000 + '\n') * 1000)


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'hostile')
