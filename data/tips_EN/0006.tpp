Rotate, mirror, undo
A portrait picture lying on its side? Rotate the selected picture by 90° or 180°, or mirror it, with a single click.
The undo button takes back your last changes – as long as you have not selected another picture.
