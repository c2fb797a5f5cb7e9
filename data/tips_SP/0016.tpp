La presentación en el televisor
La salida para reproductores de DVD crea un vídeo para VCD o SVCD, en PAL o NTSC, con efectos de transición si lo desea.
La música se recorta automáticamente a la duración de la presentación. Encontrará las instrucciones de grabación en la ayuda.
