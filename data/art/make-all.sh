#!/bin/sh
# Rebuilds every picture, icon and sound under data/ from its script.
# Needs python3 (standard library only), ImageMagick's convert and sox.
set -eu
data=$(cd "$(dirname "$0")/.." && pwd)
python3 "$data/art/make-background.py"
python3 "$data/art/make-workspace.py"
python3 "$data/icons/make-icons.py"
sh "$data/sound/make-sound.sh"
