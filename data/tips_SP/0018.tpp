Su propio salvapantallas
En el paso 4, elija el salvapantallas y marque las presentaciones que desee.
Así su pantalla mostrará sus mejores fotos en cada pausa.
