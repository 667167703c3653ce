#!/usr/bin/env python3
"""Writes sys/paper.dot, the default template of the paper document export.

The template is an RTF document (code page 936). The export finds these placeholders in it:
  cover:           [PAPER NAME] [AUTHOR] [TESTTIME] [QUESTION_COUNT] [FULLMARK]
  question block:  from the paragraph with [QUESTION No] to the paragraph with 第[QUESTION];
                   [MARK] in between; the question goes where [QUESTION] stands
  answer key:      the one paragraph with [ANSWER No] and [OP]
The "第" of 第[QUESTION] only marks where the block ends; it is printed white and tiny, so the
paper shows the question alone.

Run from anywhere:  python3 templates/make-paper-template.py
Only Python's standard library is used, and the output is byte-for-byte reproducible.
"""

import os

HERE = os.path.dirname(os.path.abspath(__file__))
OUTPUT = os.path.join(HERE, "sys", "paper.dot")


def rtf_text(text):
    """Text as RTF: ASCII as it is (RTF specials escaped), everything else as GBK bytes."""
    out = []
    for ch in text:
        if ch in "\\{}":
            out.append("\\" + ch)
        elif ord(ch) < 0x80:
            out.append(ch)
        else:
            out.append("".join(f"\\'{b:02x}" for b in ch.encode("gbk")))
    return "".join(out)


def paragraph(text, style=""):
    return f"{{\\pard\\plain{style} {text}\\par}}\n"


def build():
    t = rtf_text
    body = [
        "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052\n",
        f"{{\\fonttbl{{\\f0\\fnil\\fcharset134 {t('宋体')};}}{{\\f1\\fnil\\fcharset134 {t('黑体')};}}}}\n",
        "{\\colortbl;\\red0\\green0\\blue0;\\red255\\green255\\blue255;\\red31\\green56\\blue100;}\n",
        "\\paperw11906\\paperh16838\\margl1418\\margr1418\\margt1418\\margb1418\n",
        # Cover.
        paragraph(f"\\f1\\fs44\\b [PAPER NAME]", "\\qc\\sa240"),
        paragraph(f"\\f0\\fs24 {t('命题人：')}[AUTHOR]", "\\qc\\sa120"),
        paragraph(f"\\f0\\fs24 {t('考试时间：')}[TESTTIME]{t(' 分钟　　题量：')}[QUESTION_COUNT]"
                  f"{t(' 题　　满分：')}[FULLMARK]{t(' 分')}", "\\qc\\sa120"),
        paragraph(f"\\f0\\fs24 {t('班级：____________　姓名：____________　考号：____________')}",
                  "\\qc\\sa480"),
        paragraph(f"\\f1\\fs28\\b {t('一、选择题')}", "\\sa240"),
        # One question block: its first and last paragraph.
        paragraph(f"\\f0\\fs24\\b\\cf3 {t('第')}[QUESTION No]{t('题')}\\b0\\cf1 {t('（本题 ')}[MARK]"
                  f"{t(' 分）')}", "\\sb240\\sa60\\keepn"),
        paragraph(f"\\f0\\fs24{{\\cf2\\fs2 {t('第')}}}[QUESTION]", "\\sa120"),
        # Answer key.
        paragraph(f"\\f1\\fs28\\b {t('参考答案')}", "\\qc\\sb480\\sa240\\pagebb"),
        paragraph(f"\\f0\\fs24 {t('第')}[ANSWER No]{t('题：')}[OP]", "\\sa60"),
        "}\n",
    ]
    return "".join(body)


def main():
    os.makedirs(os.path.dirname(OUTPUT), exist_ok=True)
    with open(OUTPUT, "w", encoding="ascii", newline="\r\n") as out:
        out.write(build())


if __name__ == "__main__":
    main()
