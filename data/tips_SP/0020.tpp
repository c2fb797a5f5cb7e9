Escáner y cámara digital
En el menú de escáner / cámara digital, elija primero el controlador de su dispositivo.
Al iniciar la captura, la imagen llega directamente a la presentación abierta.
