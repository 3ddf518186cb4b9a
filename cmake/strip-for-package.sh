#!/bin/sh
# SPDX-License-Identifier: MIT
# Strips a program for the package as Debian's own packaging does: its symbols, and the compilers' notes in the
# .comment and .note sections, which a package does not need.
exec strip --remove-section=.comment --remove-section=.note "$@"
