Efectos de transición
En el paso 3, desactive las transiciones, elija un efecto concreto o deje que Lumerix elija los efectos al azar.
La pequeña vista previa muestra enseguida el efecto elegido.
